#!/usr/bin/env bash
# Screenshots of the desktop program's windows under a virtual X server, for
# checking by eye: the main window, the environment dialog with its drop
# buttons, the profile editor and its custom size dialog.
#   screenshots.sh [output folder]   (default: screenshots/)
#   BUILD_DIR  the build tree to take the program from (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=$(realpath -m "${1:-$root/screenshots}")
build=$(realpath -m "${BUILD_DIR:-build}")

if [ ! -x "$build/app/qorvane" ]; then
  cmake -S . -B "$build" -G Ninja
fi
cmake --build "$build" --target qorvane qorvane-cscript

# The build tree registers its stand-in encoder, so that the program passes
# its encoder check; message boxes go to stderr instead of waiting for a click.
export QORVANE_REGISTRY=${QORVANE_REGISTRY:-$build/registry.ini}
export PATH="$build/encoder:$PATH"
export QORVANE_MESSAGE_BOXES=stderr
export QORVANE_SCREENSHOTS="$out"
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1280x800x24" "$build/app/qorvane"
ls -l "$out"
