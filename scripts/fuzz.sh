#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan and UBSan) into build-fuzz and runs every
# fuzz_* program found in build-fuzz/bin for the given number of seconds each.
#
#   scripts/fuzz.sh SECONDS [TARGET...]
#
# With target names only those are built and run. Each target keeps its corpus in
# fuzz/corpus-work/<target>, seeded from fuzz/<area>/seeds of the area that defines it;
# findings are written to fuzz/corpus-work/findings/<target>/. The script ends non-zero when
# any target found a fault.
set -euo pipefail

seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DQAV_FUZZ=ON \
  -DQAV_BUILD_GUI=OFF -DQAV_BUILD_TESTS=OFF -DQAV_BUILD_BENCH=OFF >/dev/null
if [ $# -gt 0 ]; then
  cmake --build "$build" -j2 --target "$@"
else
  cmake --build "$build" -j2
fi

# The area folder whose CMakeLists.txt defines the target, for its seeds.
seeds_of() {
  local definer
  definer=$(grep -l -w "$1" "$root"/fuzz/*/CMakeLists.txt 2>/dev/null | head -n 1 || true)
  [ -n "$definer" ] && echo "$(dirname "$definer")/seeds"
}

shopt -s nullglob
failed=()
for program in "$build"/bin/fuzz_*; do
  name=$(basename "$program")
  if [ $# -gt 0 ] && [[ ! " $* " =~ " $name " ]]; then continue; fi
  corpus=$root/fuzz/corpus-work/$name
  findings=$root/fuzz/corpus-work/findings/$name
  mkdir -p "$corpus" "$findings"
  seeds=$(seeds_of "$name" || true)
  if [ -n "$seeds" ] && [ -d "$seeds" ]; then cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true; fi
  echo "== $name: $seconds s, corpus $corpus"
  if ! "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$corpus"; then
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "faults found by: ${failed[*]} (see fuzz/corpus-work/findings/)"
  exit 1
fi
echo "no faults found"
