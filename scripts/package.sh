#!/usr/bin/env bash
# Builds a Release configuration of what the package holds (no tests, no benchmarks) and
# writes the Debian package with CPack. The path of the .deb is the last line printed.
#
#   scripts/package.sh [BUILD_DIR]     (default: build-package)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-package}
"$top/scripts/install-deps.sh"

# Debian's hardening flags, all of them (stack protector, fortified functions, read-only
# relocations bound at start), given on every configure so that a rerun keeps them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $cppflags"
ldflags=$(dpkg-buildflags --get LDFLAGS)
export CFLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags"

rm -rf "$build/_CPack_Packages"
"$top/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DQAV_BUILD_TESTS=OFF -DQAV_BUILD_BENCH=OFF -DQAV_SANITIZE=OFF -DQAV_FUZZ=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$ldflags"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/qavshow_*.deb | head -n 1)
echo "$deb"
