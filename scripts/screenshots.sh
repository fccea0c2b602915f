#!/bin/bash
# Renders the dialogs on the virtual display, from the window tests that show
# them, and saves them as PNG files for review (default: docs/screenshots):
# at 100 % display scale (96 DPI) as NAME.png, and at 150 % (144 DPI) as
# NAME-150.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TORVANE_BUILD_DIR:-$root/build}"
out="${1:-$root/docs/screenshots}"

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build/win64" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-win64.cmake" >/dev/null
cmake --build "$build/win64" -j 2 --target window_tests

shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
mkdir -p "$out"
for scale in 100 150; do
  mkdir "$shots/$scale"
  # Wine's drive Z: is the root of this machine.
  TORVANE_SOURCE_DIR="$root" TORVANE_SCREENSHOT_DIR="Z:${shots//\//\\}\\$scale" TORVANE_DPI_PREFIX="$build/wine-dpi" \
    "$root/scripts/wine-at-dpi.sh" $((scale * 96 / 100)) \
    "$build/win64/tests/windows/window_tests.exe" --gtest_brief=1 \
    --gtest_filter='AboutBox.ShowsItsLinesOverTheGradient:MainWindowBox.EntriesIconsAndTheFirstPage:OpticalPage.NoticesAMediumWithinASecond:EmulatedDrive.NoTimersShownForADriveWithoutThePage' \
    >/dev/null
  suffix=$([ "$scale" = 100 ] || echo "-$scale")
  for bmp in "$shots/$scale"/*.bmp; do
    png="$out/$(basename "${bmp%.bmp}")$suffix.png"
    bmptopnm "$bmp" 2>/dev/null | pnmtopng > "$png"
    echo "$png"
  done
done
