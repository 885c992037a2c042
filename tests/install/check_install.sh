#!/usr/bin/env bash
# check_install.sh BUILD_DIR MAKE_GFX: installs the build into a temporary prefix and makes
# the Debian package of it, then checks both: the installed tree holds exactly what the
# game needs, the desktop files and the manual page pass their checkers, the package's
# control fields and lintian's verdict, and the package unpacks to the installed tree.
set -euo pipefail
build=$1
make_gfx=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}
# The files and folders under a root, relative to it, sorted.
tree() { (cd "$1" && find . -mindepth 1 | LC_ALL=C sort); }

cmake --install "$build" --prefix "$tmp/usr" >/dev/null
usr=$tmp/usr
app=io.github.grumbol.Grumbol

# Exactly these files: no test or benchmark programs, no make-gfx, nothing else in bin/.
{
  echo bin/grumbol
  "$make_gfx" --list | sed 's|^|share/grumbol/GFX/|'
  echo share/grumbol/alsoft.conf
  echo share/applications/$app.desktop
  echo share/metainfo/$app.metainfo.xml
  for size in 48 128 256; do echo share/icons/hicolor/${size}x$size/apps/$app.png; done
  echo share/man/man6/grumbol.6.gz
  echo share/doc/grumbol/copyright
  echo share/doc/grumbol/changelog.gz
  echo share/lintian/overrides/grumbol
} | LC_ALL=C sort >"$tmp/expected"
(cd "$usr" && find . -type f -o -type l) | sed 's|^\./||' | LC_ALL=C sort >"$tmp/installed"
diff -u "$tmp/expected" "$tmp/installed" >"$tmp/tree.diff" ||
  { fail "installed files (-expected +installed):"; cat "$tmp/tree.diff"; }
[ -x "$usr/bin/grumbol" ] || fail "bin/grumbol is not executable"

# Icons: PNG files of the size their folder names (width and height from the IHDR chunk).
for size in 48 128 256; do
  png=$usr/share/icons/hicolor/${size}x$size/apps/$app.png
  [ -f "$png" ] || continue
  header=$(od -An -tx1 -N24 "$png" | tr -d ' \n')
  want=89504e470d0a1a0a0000000d49484452$(printf '%08x%08x' "$size" "$size")
  [ "$header" = "$want" ] || fail "$png is no ${size}x$size PNG (header $header)"
done

# The desktop entry and the metadata: valid, and naming the installed program, icon and entry.
desktop=$usr/share/applications/$app.desktop
metainfo=$usr/share/metainfo/$app.metainfo.xml
# Its hints count too: a hint can mean the game is missing from the Games menu.
validation=$(desktop-file-validate "$desktop" 2>&1) || true
[ -z "$validation" ] || fail "desktop-file-validate: $validation"
appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli validate"
# The game's Exec line and its actions'.
exec_names=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -n "$exec_names" ] || fail "the desktop entry has no Exec line"
for exec_name in $exec_names; do
  [ -x "$usr/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program"
done
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$usr/share/icons/hicolor/48x48/apps/$icon_name.png" ] ||
  fail "Icon=$icon_name is not an installed icon"
grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$metainfo" ||
  fail "the metadata does not launch $app.desktop"

# The manual page: a NAME line for whatis and apropos, and nothing groff warns about.
manual=$usr/share/man/man6/grumbol.6.gz
lexgrog "$manual" >/dev/null || fail "lexgrog finds no NAME line in the manual page"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$manual" 2>&1 >/dev/null) || true
[ -z "$warnings" ] || fail "the manual page: $warnings"

# The package: made from the same install rules, into the temporary folder.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/deb" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; fail "cpack"; }
deb=$(find "$tmp/deb" -maxdepth 1 -name '*.deb' | head -n 1)
if [ -z "$deb" ]; then
  fail "cpack made no .deb"
else
  field() { dpkg-deb -f "$deb" "$1"; }
  release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
  [ "$(field Package)" = grumbol ] || fail "Package: $(field Package)"
  # One version everywhere: the package, the metadata's newest release, the program's own.
  version=$(field Version)
  program_version=$("$usr/bin/grumbol" --version 2>&1) || true
  [[ -n $version && $release == "$version" && $program_version == "grumbol $version" ]] ||
    fail "Version: $version, newest release in the metadata: $release," \
      "grumbol --version: $program_version"
  [ "$(field Section)" = games ] || fail "Section: $(field Section)"
  [ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
    fail "Architecture: $(field Architecture)"
  for library in libsdl2 libopenal; do
    [[ $(field Depends) == *"$library"* ]] ||
      fail "Depends lacks $library (from dpkg-shlibdeps): $(field Depends)"
  done

  # Errors fail; warnings, notes and overridden tags (O:) are only shown.
  lintian_status=0
  # lintian leaves files in TMPDIR behind; in the temporary folder they go with it.
  TMPDIR=$tmp lintian --show-overrides "$deb" >"$tmp/lintian.log" 2>&1 || lintian_status=$?
  cat "$tmp/lintian.log"
  ! grep -q '^E:' "$tmp/lintian.log" || fail "lintian reports errors"
  [[ $lintian_status == [02] ]] || fail "lintian did not run ($lintian_status)"

  mkdir "$tmp/unpacked"
  dpkg -x "$deb" "$tmp/unpacked"
  diff -u <(tree "$usr") <(tree "$tmp/unpacked/usr") >"$tmp/deb.diff" ||
    { fail "package differs from the install (-install +package):"; cat "$tmp/deb.diff"; }
fi
exit "$failed"
