#!/usr/bin/env bash
# Builds the Debian package build-package/qorvane_<version>_amd64.deb (a
# release build for the prefix /usr with Debian's hardening flags, without
# tests or benchmarks) and runs lintian on it.
#   package.sh [BUILD_DIR]   (default: build-package)
#   JOBS  parallel build jobs (default: all processors)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}

bash scripts/install-deps.sh

# Debian's build flags with all hardening (fortified functions, stack
# protector, relro, bind now); no compiler ident in the binaries, which
# Debian's strip would remove. CMake takes them from the environment when the
# tree is first configured. A unity build: this tree is built once, and
# reading Qt's headers once per folder instead of once per file halves the
# time.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS) -fno-ident"
export CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS) -fno-ident"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_UNITY_BUILD=ON -DQORVANE_BUILD_TESTS=OFF -DQORVANE_BUILD_BENCH=OFF
cmake --build "$build" -j "${JOBS:-$(nproc)}"
rm -f "$build"/qorvane_*.deb
(cd "$build" && cpack -G DEB)

deb=$(ls "$build"/qorvane_*.deb)
echo "== $deb: $(stat -c %s "$deb") bytes"
dpkg-deb --field "$deb" Depends Recommends
echo "== lintian"
lintian --info "$deb"
