# Shared set-up of ./play, ./test and ./bench: the Debian packages, then a CMake build.
# Sourced, not run.

GRUMBOL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the packages of tools/debian-packages.txt that are missing.
install_packages() {
  local wanted missing=() package
  mapfile -t wanted < <(grep -v -E '^[[:space:]]*(#|$)' "$GRUMBOL_ROOT/tools/debian-packages.txt")
  for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing Debian packages: ${missing[*]}"
    as_root apt-get update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# build DIR [CMAKE OPTIONS...]: configures and builds into $GRUMBOL_ROOT/DIR.
build() {
  local dir="$GRUMBOL_ROOT/$1"
  shift
  cmake -S "$GRUMBOL_ROOT" -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}
