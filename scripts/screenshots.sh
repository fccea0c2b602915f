#!/bin/bash
# Renders the dialogs on the virtual display, from the window tests that show
# them, and saves them as PNG files for review (default: docs/screenshots).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TORVANE_BUILD_DIR:-$root/build}"
out="${1:-$root/docs/screenshots}"

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build/win64" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-win64.cmake" >/dev/null
cmake --build "$build/win64" -j 2 --target window_tests

source "$root/scripts/virtual-display.sh"
torvane_start_display
shots=$(mktemp -d)
TORVANE_SCREENSHOT_DIR=$(winepath -w "$shots" 2>/dev/null) \
  "$root/cmake/wine-run.sh" "$build/win64/tests/windows/window_tests.exe" --gtest_brief=1 \
  --gtest_filter='AboutBox.ShowsItsLinesOverTheGradient:MainWindowBox.EntriesIconsAndTheFirstPage:OpticalPage.NoticesAMediumWithinASecond:EmulatedDrive.NoTimersShownForADriveWithoutThePage' \
  >/dev/null
mkdir -p "$out"
for bmp in "$shots"/*.bmp; do
  png="$out/$(basename "${bmp%.bmp}").png"
  bmptopnm "$bmp" 2>/dev/null | pnmtopng > "$png"
  echo "$png"
done
rm -rf "$shots"
