# Shared by run.sh and test.sh: install what a fresh Debian 12 machine lacks, then build.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${STRUMOX_BUILD_DIR:-$ROOT/build}"

PACKAGES=(
  cmake ninja-build g++ pkg-config lld
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libgl-dev libxkbcommon-dev
  libfluidsynth-dev fluidsynth timgm6mb-soundfont librtmidi-dev libhidapi-dev
  libgtest-dev googletest espeak-ng
  xvfb xauth x11-utils xdotool imagemagick fonts-liberation
)

install_missing_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

CMAKE_EXTRA=()
# What build_all builds: the program, its data and tests ("all") and the benchmarks.
BUILD_TARGETS=(all benchmarks)
# Optimised, with line tables for stack traces: full debug information would double the build.
OPT_FLAGS="-O2 -g1 -DNDEBUG"

build_all() {
  cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=$OPT_FLAGS" "${CMAKE_EXTRA[@]}" >/dev/null
  cmake --build "$BUILD_DIR" -j "$(nproc)" --target "${BUILD_TARGETS[@]}"
}
