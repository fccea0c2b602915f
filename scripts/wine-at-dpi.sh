#!/bin/bash
# Runs a 64-bit Windows program under Wine once at each display scale given,
# with TORVANE_DPI naming the scale of the run:
#
#   scripts/wine-at-dpi.sh "96 120 144 192" PROGRAM [ARGUMENT...]
#
# The runs share a Wine prefix of their own (TORVANE_DPI_PREFIX, default
# build/wine-dpi), whose LogPixels each run sets; the prefix that the other
# tests share keeps its own. Fails when any run failed.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
dpis=$1
shift
export WINEPREFIX="${TORVANE_DPI_PREFIX:-$root/build/wine-dpi}"
source "$root/scripts/virtual-display.sh"
if [ -n "${DISPLAY:-}" ]; then
  torvane_prepare_wine
  trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
else
  torvane_start_display
fi
status=0
for dpi in $dpis; do
  # Read by every Wine program as it starts.
  "$root/cmake/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
    /d "$dpi" /f >/dev/null 2>&1 || { echo "wine-at-dpi: could not set LogPixels $dpi" >&2; exit 1; }
  TORVANE_DPI=$dpi "$root/cmake/wine-run.sh" "$@" || status=1
done
exit $status
