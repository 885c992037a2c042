# Shared set-up of ./play, ./test and ./bench: the Debian packages, then a CMake build.
# Sourced, not run.

GRUMBOL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# install_packages [game|all]: installs the missing packages of tools/debian-packages.txt
# (what the game needs) and, for all (the default), of tools/debian-packages-dev.txt too.
install_packages() {
  local lists=("$GRUMBOL_ROOT/tools/debian-packages.txt") wanted missing=() package
  [ "${1:-all}" = game ] || lists+=("$GRUMBOL_ROOT/tools/debian-packages-dev.txt")
  mapfile -t wanted < <(cat "${lists[@]}" | grep -v -E '^[[:space:]]*(#|$)')
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

# build_game DIR: configures $GRUMBOL_ROOT/DIR and builds only the game and its asset maker
# (the tests are configured too where their packages are there, but not built).
build_game() {
  local dir="$GRUMBOL_ROOT/$1"
  cmake -S "$GRUMBOL_ROOT" -B "$dir" $(generator_for "$dir") -DGRUMBOL_REQUIRE_TESTS=OFF >/dev/null
  cmake --build "$dir" -j "$(nproc)" --target grumbol make-gfx
}
