#!/usr/bin/env bash
# Whole set-up and a run of the program, from a fresh Debian 12 machine:
# installs what is missing, builds a release build, then starts Qorvane with
# the arguments given here (media files to queue, or -debug first).
set -euo pipefail
here=$(pwd)
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Only the programs: the test suites are scripts/test.sh's business.
cmake --build build -j "$(nproc)" --target qorvane qorvane-cli qorvane-cscript

if [ -x build/app/qorvane ]; then
  # The build tree registers its stand-in encoder (build/registry.ini) and
  # puts the script host on the search path; files named on the command line
  # are taken relative to where this script was started.
  export QORVANE_REGISTRY=${QORVANE_REGISTRY:-$root/build/registry.ini}
  export PATH="$root/build/stand_in_encoder:$PATH"
  cd "$here"
  exec "$root/build/app/qorvane" "$@"
fi
# Without the desktop program built, the command-line front end is the program.
exec build/cli/qorvane-cli "$@"
