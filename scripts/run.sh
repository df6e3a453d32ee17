#!/usr/bin/env bash
# Builds the project and demonstrates the grid tool on a new grid.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$HOLLOFORM_ROOT"
install_packages
build_plain
out="${1:-holloform-out}"
mkdir -p "$out"
./build/tools/holloform-grid new --levels 3 --solid "$out/solid.hf"
./build/tools/holloform-grid info "$out/solid.hf"
./build/tools/holloform-grid check "$out/solid.hf"
