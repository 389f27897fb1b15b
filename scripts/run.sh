#!/usr/bin/env bash
# Installs what is missing, builds, and starts the viewer in the samples folder.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
# Only the viewer and its GIF converter: the tests and benchmarks are for scripts/test.sh.
"$top/scripts/build.sh" "$top/build" -- qavshow picconv
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "qavshow is built ($top/build/bin/qavshow) but needs a desktop display to start:"
  echo "no DISPLAY or WAYLAND_DISPLAY is set. Run this command again from a desktop session."
  exit 1
fi
cd "$top/samples"
exec "$top/build/bin/qavshow"
