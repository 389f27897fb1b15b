#!/usr/bin/env bash
# The README's GNU parallel form, with no remote hosts (parallel then runs every job here and
# says that it ignores the transfer options): every sample converts, one qavconv a file, to
# the same PNG as qavconv's own folder form writes.
# Usage: qavconv_parallel_test.sh BIN_DIR SAMPLES_DIR
set -euo pipefail
bin=$1
samples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home PATH=$bin:$PATH
mkdir -p "$HOME" "$work/archive"
cp "$samples"/*.qav "$samples"/*.bmp "$samples"/*.gif "$work/archive/"
cd "$work/archive"

parallel --will-cite -j 2 --transferfile {} --return {.}.png --cleanup \
  qavconv {} {.}.png ::: *.qav *.bmp *.gif 2>"$work/parallel.err" || {
  cat "$work/parallel.err" >&2
  exit 1
}
qavconv -q -o "$work/folder-form" -- *.qav *.bmp *.gif

status=0
for input in *.qav *.bmp *.gif; do
  png=${input%.*}.png
  if ! cmp -s "$png" "$work/folder-form/$png"; then
    echo "parallel gave a different or no $png for $input" >&2
    status=1
  fi
done
exit $status
