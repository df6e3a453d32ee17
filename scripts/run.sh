#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor with the arguments
# given (see `bash scripts/run.sh --help`). With a display it opens a window;
# without one it runs the headless demo, which writes pictures, a grid file
# and an OBJ file into holloform-out/ in the current folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
install_packages
build_plain
export PYTHONPATH="$HOLLOFORM_ROOT/build/python${PYTHONPATH:+:$PYTHONPATH}"
exec /usr/bin/python3 "$HOLLOFORM_ROOT/editor/holloform.py" "$@"
