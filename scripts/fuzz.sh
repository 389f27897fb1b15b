#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan and UBSan) and runs every fuzz_* program
# for the given number of seconds each, starting from its seeds and its past findings.
#
#   scripts/fuzz.sh SECONDS [TARGET...]
#
# The build tree is $QAV_FUZZ_BUILD (default build-fuzz); one configured with -DQAV_FUZZ=ON
# already is used as it is. With target names only those are built and run.
#
# Every fuzz_NAME target of the build tree is run, wherever it is defined. Beside the
# CMakeLists.txt that defines it (AREA), its inputs are read from AREA/seeds/NAME when that
# folder exists (an area with several targets), otherwise from AREA/seeds, and from
# AREA/regressions/NAME or AREA/regressions the same way; all are read with their subfolders. A target without seeds is an error. New inputs
# go to the build tree's corpus/ folder, findings to its findings/ folder: copy a finding into
# the regressions folder once it is mended, so that every later run replays it. The script
# ends non-zero when any target found a fault.
set -euo pipefail

seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QAV_FUZZ_BUILD:-$root/build-fuzz}

if ! grep -q '^QAV_FUZZ:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DQAV_WERROR=ON -DQAV_FUZZ=ON \
    -DQAV_BUILD_GUI=OFF -DQAV_BUILD_TESTS=OFF -DQAV_BUILD_BENCH=OFF >/dev/null
fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(cmake --build "$build" --target help |
    grep -o '^fuzz_[A-Za-z0-9_]*' | sort -u)
fi
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz_* targets in $build"; exit 1; }
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

# The folder whose CMakeLists.txt defines the target: its seeds and regressions live there.
home_of() {
  local definer
  definer=$(grep -rlE --include=CMakeLists.txt --exclude-dir="build*" --exclude-dir=.git \
    "\(\s*$1[ )]" "$root" | head -n 1)
  [ -n "$definer" ] && dirname "$definer"
}

# The target's own subfolder of a kind (seeds, regressions) if it has one, else the area's.
inputs_of() {
  local folder=$1/$2 name=$3
  if [ -d "$folder/${name#fuzz_}" ]; then
    echo "$folder/${name#fuzz_}"
  elif [ -d "$folder" ]; then
    echo "$folder"
  fi
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
for name in "${targets[@]}"; do
  area=$(home_of "$name") || { echo "$name: no CMakeLists.txt defines it"; exit 1; }
  seeds=$(inputs_of "$area" seeds "$name")
  if [ -z "$seeds" ] || [ -z "$(find "$seeds" -type f -print -quit)" ]; then
    echo "$name: no seeds in $area/seeds"
    exit 1
  fi
  regressions=$(inputs_of "$area" regressions "$name")
  replayed=()
  [ -n "$regressions" ] && replayed=("$regressions")
  corpus=$build/corpus/$name
  findings=$build/findings/$name
  mkdir -p "$corpus" "$findings"
  echo "== $name: $seconds s from ${seeds#"$root"/} ${regressions:+and ${regressions#"$root"/}}"
  if ! "$build/bin/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$seeds" "${replayed[@]}"; then
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "faults found by: ${failed[*]} (inputs in ${build#"$root"/}/findings/)"
  exit 1
fi
echo "no faults found"
