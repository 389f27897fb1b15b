#!/usr/bin/env bash
# Configures and builds one build tree: everything, or only the targets named after "--".
#   build.sh DIR [cmake options...] [-- TARGET...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
options=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  options+=("$1")
  shift
done
targets=()
if [ $# -gt 0 ]; then
  shift
  targets=(--target "$@")
fi
cmake -S "$top" -B "$dir" -G Ninja -DQAV_WERROR=ON "${options[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
