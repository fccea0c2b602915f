#!/bin/bash
# Sets up what is missing, builds the three builds and runs every test:
# the native tests under the sanitizers, then the Windows tests under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TORVANE_BUILD_DIR:-$root/build}"
jobs=2

"$root/scripts/setup.sh"

echo "== native build (AddressSanitizer, UndefinedBehaviorSanitizer)"
cmake -S "$root" -B "$build/native" -G Ninja >/dev/null
cmake --build "$build/native" -j "$jobs"

echo "== ThreadSanitizer build of the drive tests (the speed probe runs on a worker thread)"
cmake -S "$root" -B "$build/tsan" -G Ninja -DTORVANE_TSAN=ON >/dev/null
cmake --build "$build/tsan" -j "$jobs" --target drive_tests

echo "== win32 build (the shipping program)"
cmake -S "$root" -B "$build/win32" -G Ninja -DTORVANE_TESTS=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-win32.cmake" >/dev/null
cmake --build "$build/win32" -j "$jobs"

echo "== win64 build (run under Wine)"
cmake -S "$root" -B "$build/win64" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-win64.cmake" >/dev/null
cmake --build "$build/win64" -j "$jobs"

# Both test runs always run; the script fails when either did.
status=0
echo "== native tests"
(cd "$build/native" && ctest --output-on-failure) || status=1
echo "== threaded drive tests under ThreadSanitizer"
"$build/tsan/tests/drive/drive_tests" --gtest_brief=1 \
  --gtest_filter='*Probe*:OpticalBay*:Transport.EachThread*' || status=1

echo "== the user manual, and the chapters that unattended runs and bug reports rely on"
if "$root/scripts/build-manual.sh" "$build/manual" >/dev/null; then
  manual_text=$(gs -q -sDEVICE=txtwrite -o - "$build/manual/Torvane.pdf")
  for chapter in "Exit codes" "Keeping settings after restart and sleep" "/UNSCHEDULE" \
      "A trace of your own drives"; do
    grep -qF "$chapter" <<<"$manual_text" || { echo "the manual has no \"$chapter\""; status=1; }
  done
else
  status=1
fi

# One more build, instead of the two of release.sh --check: the release is
# built from a clean copy of the commit in other folders, at another time,
# and must equal the win32 build and the manual above byte for byte.
echo "== the release zip, reproducible: the same program and manual as the builds above"
if git -C "$root" diff --quiet HEAD --; then
  if TORVANE_BUILD_DIR="$build" TORVANE_JOBS="$jobs" "$root/scripts/release.sh" --out "$build/dist" >/dev/null; then
    cmp "$build/win32/app/Torvane.exe" "$build/release/zip/Torvane.exe" || status=1
    cmp "$build/manual/Torvane.pdf" "$build/release/zip/Torvane.pdf" || status=1
  else
    status=1
  fi
else
  echo "skipped: the tree has uncommitted changes, and a release is built from the last commit"
fi

echo "== fuzzing: device answers, command lines, speed lists, bay files (${TORVANE_FUZZ_SECONDS:-20} s each)"
TORVANE_BUILD_DIR="$build" "$root/scripts/fuzz.sh" "${TORVANE_FUZZ_SECONDS:-20}" || status=1

echo "== Windows tests under Wine"
source "$root/scripts/virtual-display.sh"
torvane_start_display
(cd "$build/win64" && ctest --output-on-failure) || status=1

# The shipping 32-bit build cannot run here, only in a virtual machine: about
# 18 minutes, 4-5 more the first time to build the guest. TORVANE_VM=0 skips it.
if [ "${TORVANE_VM:-1}" != 0 ]; then
  echo "== the shipping 32-bit build in a virtual machine (scripts/vm)"
  "$root/scripts/vm/check-shipping-build.sh" "$build/win32" "$build/win64" "$build/vm-check" \
    || status=1
fi
exit $status
