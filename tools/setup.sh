# Shared set-up of ./play, ./test and ./bench: the Debian packages, then a CMake build.
# Sourced, not run.

GRUMBOL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# install_packages [game|web|all]: installs the missing packages of tools/debian-packages.txt
# (what the game needs); for web also of tools/debian-packages-web.txt (the browser build); for
# all (the default) of both and of tools/debian-packages-dev.txt.
install_packages() {
  local lists=("$GRUMBOL_ROOT/tools/debian-packages.txt") wanted missing=() package
  case "${1:-all}" in
    game) ;;
    web) lists+=("$GRUMBOL_ROOT/tools/debian-packages-web.txt") ;;
    *) lists+=("$GRUMBOL_ROOT/tools/debian-packages-web.txt" "$GRUMBOL_ROOT/tools/debian-packages-dev.txt") ;;
  esac
  mapfile -t wanted < <(cat "${lists[@]}" | grep -v -E '^[[:space:]]*(#|$)')
  for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ "${#missing[@]}" -gt 0 ] || return 0
  as_root apt-get update
  # A package the system's lists lack (the browsers are snaps on Ubuntu) is left out with
  # what needs it: the browser tests are only run in the browsers that are there.
  local available=()
  for package in "${missing[@]}"; do
    if apt-cache show "$package" >/dev/null 2>&1; then available+=("$package")
    else echo "Not in this system's package lists, left out: $package"; fi
  done
  echo "Installing Debian packages: ${available[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${available[@]}"
}

# The generator for a new build folder: Ninja where it is installed (it starts the next
# compile sooner than make); a folder keeps the one it was made with.
generator_for() {
  if [ ! -f "$1/CMakeCache.txt" ] && command -v ninja >/dev/null; then echo "-GNinja"; fi
}

# build DIR [CMAKE OPTIONS...]: configures and builds everything into $GRUMBOL_ROOT/DIR; the
# tests and benchmarks are required.
build() {
  local dir="$GRUMBOL_ROOT/$1"
  shift
  cmake -S "$GRUMBOL_ROOT" -B "$dir" $(generator_for "$dir") -DGRUMBOL_REQUIRE_TESTS=ON "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}

# build_game DIR [TARGET...]: configures $GRUMBOL_ROOT/DIR and builds only the game and its
# asset maker, or the targets named (the tests are configured too where their packages are
# there, but not built).
build_game() {
  local dir="$GRUMBOL_ROOT/$1" targets=("${@:2}")
  [ "${#targets[@]}" -gt 0 ] || targets=(grumbol make-gfx)
  cmake -S "$GRUMBOL_ROOT" -B "$dir" $(generator_for "$dir") -DGRUMBOL_REQUIRE_TESTS=OFF >/dev/null
  cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"
}

# make_assets: the default pictures, sounds and movies, made by our own tool into GFX/ (where
# the game reads them): again whenever one is missing or the tool was rebuilt after it was made.
make_assets() {
  local make_gfx="$GRUMBOL_ROOT/build/bin/make-gfx" name
  for name in $("$make_gfx" --list); do
    if [ "$make_gfx" -nt "$GRUMBOL_ROOT/GFX/$name" ]; then
      "$make_gfx" "$GRUMBOL_ROOT"
      break
    fi
  done
}

# build_web DIR [CMAKE OPTIONS...]: the browser build into $GRUMBOL_ROOT/DIR (emscripten
# through emcmake), its data made of GFX/ unless -DGRUMBOL_GFX_DIR= says otherwise; the served
# folder is DIR/site.
build_web() {
  local dir="$GRUMBOL_ROOT/$1"
  shift
  # Debian's emscripten finds its JavaScript parser (acorn) through Node's search path.
  export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
  emcmake cmake -S "$GRUMBOL_ROOT" -B "$dir" $(generator_for "$dir") "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}

# install_browser_driver: the npm packages of the browser tests (puppeteer-core, which drives the
# installed Chromium and downloads nothing). Node.js from elsewhere than Debian brings its own
# npm; Debian's comes as a package of its own.
install_browser_driver() {
  command -v npm >/dev/null || as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y npm
  (cd "$GRUMBOL_ROOT/tests/web" && npm ci --no-audit --no-fund --loglevel=error)
}
