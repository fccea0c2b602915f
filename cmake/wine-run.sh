#!/bin/bash
# Runs a 64-bit Windows program under Wine. CTest uses this as the emulator of
# the win64 build. scripts/test.sh starts one virtual display and one Wine
# server for the whole run; run alone, this starts a display of its own.
set -u
export WINEPREFIX="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/torvane-wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1200x24" "$0" "$@"
fi
mkdir -p "$WINEPREFIX"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
exec "$wine" "$@"
