#!/bin/bash
# Measures Torvane's start-up on the sample bay:
#   1. the device commands sent before the window appears, against those the
#      start-up requires (the drive layer alone, bench/StartupCommands.cpp);
#   2. the time from start to the window on screen under Wine, beside a
#      minimal dialog program started the same way;
#   3. the same with 8 ms per disk command and 30 ms per optical command;
#   4. the size and imports of the 32-bit Torvane.exe.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TORVANE_BUILD_DIR:-$root/build}"
runs="${RUNS:-5}"
bay="$root/examples/sample.bay"

"$root/scripts/setup.sh"
# The main window's caption, by which the timing finds it.
title="Torvane $(cmake -P "$root/cmake/version.cmake")"
cmake -S "$root" -B "$build/native" -G Ninja >/dev/null
cmake --build "$build/native" -j 2 --target startup_commands >/dev/null
cmake -S "$root" -B "$build/win64" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-win64.cmake" >/dev/null
cmake --build "$build/win64" -j 2 --target Torvane minimal_dialog >/dev/null
cmake -S "$root" -B "$build/win32" -G Ninja -DTORVANE_TESTS=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-win32.cmake" >/dev/null
cmake --build "$build/win32" -j 2 --target Torvane >/dev/null

source "$root/scripts/virtual-display.sh"
wineserver -k >/dev/null 2>&1 || true  # no program of an earlier run may linger
torvane_start_display
work=$(mktemp -d)
cp "$build/win64/app/Torvane.exe" "$build/win64/bench/minimal_dialog.exe" "$work/"

device_commands() { grep -cE ' (SPTD|ATA|SMART_SEND|SMART_RCV|PROPERTY|GEOMETRY|EXTENTS) ' "$1" || true; }

# Seconds from start until a window titled $2 is on screen; the program is
# then closed. Extra environment comes before the program: VAR=value ...
time_to_window() {
  local title="$1"
  shift
  local start end pid
  start=$(date +%s.%N)
  (cd "$work" && exec env "$@" >/dev/null 2>&1) &
  pid=$!
  # On screen: the window exists and is mapped (viewable); the dialog is
  # shown after its initialisation, and painted as it is shown.
  local id
  for _ in $(seq 1 1500); do
    id=$(xwininfo -root -tree 2>/dev/null | awk -v t="\"$title\"" 'index($0, t) { print $1; exit }')
    [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && break
    sleep 0.01
  done
  end=$(date +%s.%N)
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "$end - $start" | bc -l
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

wine_run="$root/cmake/wine-run.sh"
bay_w=$(winepath -w "$bay" 2>/dev/null)

echo "== 1. device commands before the window appears"
trace="$work/trace.txt"
rm -f "$trace"
time_to_window "$title" TORVANE_SIMULATE="$bay_w" \
  TORVANE_SIMULATE_TRACE="$(winepath -w "$trace" 2>/dev/null)" "$wine_run" Torvane.exe >/dev/null
sent=$(device_commands "$trace")
required=$("$build/native/bench/startup_commands" "$bay")
printf 'sent %d, required %d, ratio %.2f\n' "$sent" "$required" "$(echo "$sent / $required" | bc -l)"

echo "== 2. time to the window (median of $runs, seconds)"
minimal=$(for _ in $(seq "$runs"); do time_to_window "Minimal dialog" "$wine_run" minimal_dialog.exe; done | median)
torvane=$(for _ in $(seq "$runs"); do time_to_window "$title" TORVANE_SIMULATE="$bay_w" "$wine_run" Torvane.exe; done | median)
printf 'minimal dialog %.3f, Torvane %.3f, ratio %.2f (goal 1.20 at most)\n' \
  "$minimal" "$torvane" "$(echo "$torvane / $minimal" | bc -l)"
# The sample's USB disk answers in 8 ms a command; the same machine without it:
fast="$work/fast.bay"
grep -v '^latency_ms' "$bay" > "$fast"
fast_w=$(winepath -w "$fast" 2>/dev/null)
instant=$(for _ in $(seq "$runs"); do time_to_window "$title" TORVANE_SIMULATE="$fast_w" "$wine_run" Torvane.exe; done | median)
printf 'Torvane with instant drives %.3f, ratio %.2f\n' "$instant" "$(echo "$instant / $minimal" | bc -l)"

# The sample's USB disk sleeps and would spin up (1.5 s) for IDENTIFY or READ
# CAPACITY; the same machine whose disk wakes for nothing:
nowake="$work/nowake.bay"
grep -v '^wakes_on' "$bay" > "$nowake"
nowake_w=$(winepath -w "$nowake" 2>/dev/null)
unwoken=$(for _ in $(seq "$runs"); do time_to_window "$title" TORVANE_SIMULATE="$nowake_w" "$wine_run" Torvane.exe; done | median)
printf 'Torvane with no disk that wakes %.3f; the sample against it %.2f (goal 1.10 at most)\n' \
  "$unwoken" "$(echo "$torvane / $unwoken" | bc -l)"

echo "== 3. slow drives: 8 ms per disk command, 30 ms per optical command"
slow="$work/slow.bay"
awk '/^latency_ms/ { next } { print } /^\[disk / { print "latency_ms = 8" } /^\[optical / { print "latency_ms = 30" }' \
  "$bay" > "$slow"
slow_w=$(winepath -w "$slow" 2>/dev/null)
rm -f "$trace"
time_to_window "$title" TORVANE_SIMULATE="$slow_w" \
  TORVANE_SIMULATE_TRACE="$(winepath -w "$trace" 2>/dev/null)" "$wine_run" Torvane.exe >/dev/null
disk=$(grep -E '^PhysicalDrive[0-9]+ (SPTD|ATA|SMART_SEND|SMART_RCV|PROPERTY|GEOMETRY) ' "$trace" | wc -l)
optical=$(grep -E '^[A-Z]: SPTD ' "$trace" | wc -l)
latency=$(echo "($disk * 8 + $optical * 30) / 1000" | bc -l)
slow_time=$(for _ in $(seq "$runs"); do time_to_window "$title" TORVANE_SIMULATE="$slow_w" "$wine_run" Torvane.exe; done | median)
printf 'disk commands %d, optical commands %d: %.3f s of latency\n' "$disk" "$optical" "$latency"
printf 'Torvane %.3f s; beyond the minimal dialog %.3f s = %.2f x the latency (goal 1.05 at most)\n' \
  "$slow_time" "$(echo "$slow_time - $minimal" | bc -l)" "$(echo "($slow_time - $minimal) / $latency" | bc -l)"

echo "== 4. the 32-bit Torvane.exe"
exe32="$build/win32/app/Torvane.exe"
printf '%d bytes (%d KB; goal 400 KB at most)\n' "$(stat -c %s "$exe32")" "$(( $(stat -c %s "$exe32") / 1024 ))"
echo "imports: $(i686-w64-mingw32-objdump -p "$exe32" | awk '/DLL Name/ { print $3 }' | tr '\n' ' ')"
rm -rf "$work"
