#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing),
# then configures and builds the plain build in build/.
# Usage: scripts/setup.sh            (packages + plain build)
#        source scripts/setup.sh     (from the other scripts, for the functions)
set -euo pipefail

HOLLOFORM_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
HOLLOFORM_PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  python3 python3-dev python3-pytest python3-opengl python3-pil libglut3.12 libglut-dev
  xvfb xdotool imagemagick
  libopenvdb-dev libboost-dev libassimp-dev pkg-config
)

install_packages() {
  local missing=()
  for package in "${HOLLOFORM_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
  local dir="$1"; shift
  cmake -S "$HOLLOFORM_ROOT" -B "$HOLLOFORM_ROOT/$dir" -G Ninja \
    -DPython3_EXECUTABLE=/usr/bin/python3 "$@" > "$HOLLOFORM_ROOT/$dir.configure.log" 2>&1 \
    || { cat "$HOLLOFORM_ROOT/$dir.configure.log"; return 1; }
  cmake --build "$HOLLOFORM_ROOT/$dir" -j "$(nproc)"
}

build_plain() {
  configure_and_build build -DCMAKE_CXX_COMPILER=g++ -DHOLLOFORM_WERROR=ON
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  install_packages
  build_plain
fi
