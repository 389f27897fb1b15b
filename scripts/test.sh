#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: a normal build with g++, the same
# tests in a clang build with AddressSanitizer and UndefinedBehaviorSanitizer, and the
# end-to-end test of the real window under Xvfb; then the build without Qt, which also holds
# the fuzz targets, runs its tests and every fuzz target for 20 s over its seeds and past
# findings, and the Qt image handler's fuzz target in a small fuzz build with Qt; then the
# Debian package, checked by lintian.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== normal build (g++)"
CC=gcc CXX=g++ "$top/scripts/build.sh" "$top/build-test" -DQAV_BUILD_BENCH=ON
(cd "$top/build-test" && ctest --output-on-failure -j "$jobs")

echo "== sanitizer build (clang, ASan + UBSan)"
CC=clang CXX=clang++ "$top/scripts/build.sh" "$top/build-test-asan" -DQAV_SANITIZE=ON \
  -DQAV_BUILD_BENCH=OFF
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$top/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd "$top/build-test-asan" && ctest --output-on-failure -j "$jobs")

echo "== build without Qt, with the fuzz targets (clang, libFuzzer, ASan + UBSan)"
CC=clang CXX=clang++ "$top/scripts/build.sh" "$top/build-test-fuzz" -DQAV_FUZZ=ON \
  -DQAV_BUILD_GUI=OFF -DQAV_BUILD_BENCH=OFF
(cd "$top/build-test-fuzz" && ctest --output-on-failure -j "$jobs")
QAV_FUZZ_BUILD="$top/build-test-fuzz" "$top/scripts/fuzz.sh" 20

echo "== the Qt image handler's fuzz target (clang, libFuzzer, ASan + UBSan, with Qt)"
CC=clang CXX=clang++ cmake -S "$top" -B "$top/build-test-fuzz-qt" -G Ninja -DQAV_WERROR=ON \
  -DQAV_FUZZ=ON -DQAV_BUILD_GUI=ON -DQAV_BUILD_TESTS=OFF -DQAV_BUILD_BENCH=OFF >/dev/null
QAV_FUZZ_BUILD="$top/build-test-fuzz-qt" "$top/scripts/fuzz.sh" 20 fuzz_qt_image_handler

echo "== Debian package (Release build) and lintian"
# The package script's output is shown as it runs and kept, for the path on its last line.
"$top/scripts/package.sh" | tee "$top/build-test/package-output.txt"
deb=$(tail -n 1 "$top/build-test/package-output.txt")
lintian --fail-on error --tag-display-limit 0 "$deb"
