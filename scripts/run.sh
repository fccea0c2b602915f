#!/bin/bash
# Sets up what is missing, builds Torvane and runs it under Wine on the
# bundled simulated drive bay (examples/sample.bay, or TORVANE_BAY).
#
#   scripts/run.sh                              the window, on your display
#   scripts/run.sh /DRIVE:HDD1 /STANDBY /QUIT   a command line, unattended
#
# Without a display of your own the program runs on a virtual display and a
# screenshot is saved. Afterwards the commands the simulated drives received
# are printed from the bay's trace.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TORVANE_BUILD_DIR:-$root/build}"
bay="${TORVANE_BAY:-$root/examples/sample.bay}"
rundir="$build/run"

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build/win64" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-win64.cmake" >/dev/null
cmake --build "$build/win64" -j 2 --target Torvane
mkdir -p "$rundir"
cp "$build/win64/app/Torvane.exe" "$rundir/"
# The manual opens from the program's current directory (F1, the ? button).
if [ -x "$root/scripts/build-manual.sh" ]; then
  "$root/scripts/build-manual.sh" "$rundir" >/dev/null || echo "(the manual could not be built)"
fi

trace="$rundir/trace.txt"
rm -f "$trace"
export TORVANE_SIMULATE="$bay" TORVANE_SIMULATE_TRACE="$trace"

source "$root/scripts/virtual-display.sh"
own_display=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  own_display=1
  export WINEPREFIX="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/torvane-wine}"
  export WINEDEBUG="${WINEDEBUG:--all}"
  torvane_install_wine_fonts
else
  torvane_start_display
fi

cd "$rundir"
echo "Torvane on $(basename "$bay")${*:+ with: $*}"
if [ "$own_display" = 1 ] && [ $# -eq 0 ]; then
  "$root/cmake/wine-run.sh" Torvane.exe || true
else
  "$root/cmake/wine-run.sh" Torvane.exe "$@" &
  program=$!
  # Give the window time to appear (or a /QUIT command line time to finish).
  for _ in $(seq 1 50); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$program" 2>/dev/null; then
    if [ "$own_display" = 0 ]; then
      # The whole window, caption and frame included (Wine draws them itself on
      # the virtual display), cut out of the screen.
      crop=$(xwininfo -name "Torvane $(cmake -P "$root/cmake/version.cmake")" 2>/dev/null | awk '
        /Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
        /Width:/ {w = $2} /Height:/ {h = $2} END {if (w) print x, y, w, h}')
      xwd -root -silent | xwdtopnm 2>/dev/null |
        { if [ -n "$crop" ]; then pnmcut $crop; else cat; fi; } | pnmtopng > "$rundir/screenshot.png"
      echo "The window is open on a virtual display; screenshot: $rundir/screenshot.png"
    fi
    if [ "$own_display" = 0 ] || [ $# -gt 0 ]; then
      echo "Closing it."
      kill "$program" 2>/dev/null || true
      wineserver -k >/dev/null 2>&1 || true
    fi
  else
    wait "$program" || true
    echo "Torvane ended by itself."
  fi
fi

echo
echo "Commands the simulated drives received (trace: $trace):"
if [ -f "$trace" ]; then
  grep -vE ' (OPEN|CLOSE|WINDIR|MOUNTPOINT|DRIVETYPE|VOLUME_FIRST|VOLUME_NEXT|VOLUME_CLOSE) ' "$trace" \
    | grep -vE '^PhysicalDrive[0-9]+ SPTD (12|25)|^[A-Z]: SPTD 12' | tail -n 40 || true
  echo "($(wc -l < "$trace") calls in all)"
fi
