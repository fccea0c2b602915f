#!/bin/bash
# Sets up what is missing, builds the three builds and runs every test:
# the native tests under the sanitizers, then the Windows tests under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TORVANE_BUILD_DIR:-$root/build}"
jobs=2

stage_start=$(date +%s)
stages=()
stage() { stages+=("$(printf '%-44s %5d s' "$1" $(($(date +%s) - stage_start)))"); stage_start=$(date +%s); }
status=0

"$root/scripts/setup.sh"
stage "set-up (packages)"

# The two Windows builds first: the virtual machine's check needs both, and
# runs beside everything after them.
echo "== win32 build (the shipping program)"
cmake -S "$root" -B "$build/win32" -G Ninja -DTORVANE_TESTS=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-win32.cmake" >/dev/null
cmake --build "$build/win32" -j "$jobs"
stage "win32 build"

# The release is built from a clean copy of the commit in other folders, at
# another time, and must equal the win32 build (and, below, the manual)
# byte for byte: one more build instead of the two of release.sh --check.
echo "== the release zip, reproducible: the same program as the build above"
release_built=no zip=""
if git -C "$root" diff --quiet HEAD --; then
  # release.sh prints the zip's path last.
  if zip=$(TORVANE_BUILD_DIR="$build" TORVANE_JOBS="$jobs" "$root/scripts/release.sh" --out "$build/dist" | tail -n 1); then
    release_built=yes
    cmp "$build/win32/app/Torvane.exe" "$build/release/zip/Torvane.exe" || status=1
  else
    status=1 zip=""
  fi
else
  echo "skipped: the tree has uncommitted changes, and a release is built from the last commit"
fi
stage "release zip"

echo "== win64 program (its tests are built further on)"
cmake -S "$root" -B "$build/win64" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-win64.cmake" >/dev/null
cmake --build "$build/win64" -j "$jobs" --target Torvane
stage "win64 program"

# The shipping 32-bit build cannot run here, only in a virtual machine. It
# runs in the background from here on, its output kept for the end.
# TORVANE_VM=0 skips it, TORVANE_VM=full compares every end-to-end case.
vm_log="$build/vm-check.log"
if [ "${TORVANE_VM:-1}" != 0 ]; then
  echo "== the shipping 32-bit build in a virtual machine (scripts/vm), in the background"
  # In a process group of its own, so that a step failing below ends the
  # check and its virtual machine with this script.
  setsid "$root/scripts/vm/check-shipping-build.sh" ${zip:+--zip "$zip"} "$build/win32" \
    "$build/win64" "$build/vm-check" > "$vm_log" 2>&1 &
  vm_check=$!
  trap 'kill -- -"$vm_check" 2>/dev/null || true' EXIT
fi

echo "== native build (AddressSanitizer, UndefinedBehaviorSanitizer)"
cmake -S "$root" -B "$build/native" -G Ninja >/dev/null
cmake --build "$build/native" -j "$jobs"
stage "native build"

echo "== ThreadSanitizer build of the drive tests (the speed probe runs on a worker thread)"
cmake -S "$root" -B "$build/tsan" -G Ninja -DTORVANE_TSAN=ON >/dev/null
cmake --build "$build/tsan" -j "$jobs" --target drive_tests
stage "tsan build"

echo "== win64 build (run under Wine)"
cmake --build "$build/win64" -j "$jobs"
stage "win64 build"

# Every test run below always runs; the script fails when any did.
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

[ "$release_built" = no ] || cmp "$build/manual/Torvane.pdf" "$build/release/zip/Torvane.pdf" || status=1
stage "native tests, tsan tests, manual"

echo "== fuzzing: device answers, command lines, speed lists, bay files (${TORVANE_FUZZ_SECONDS:-20} s each)"
TORVANE_BUILD_DIR="$build" "$root/scripts/fuzz.sh" "${TORVANE_FUZZ_SECONDS:-20}" || status=1
stage "fuzzing"

echo "== Windows tests under Wine"
source "$root/scripts/virtual-display.sh"
torvane_start_display
(cd "$build/win64" && ctest --output-on-failure) || status=1
stage "Wine tests"

if [ -n "${vm_check:-}" ]; then
  echo "== the shipping 32-bit build in a virtual machine: waiting for it to end"
  wait "$vm_check" || status=1
  cat "$vm_log"
  stage "waiting for the virtual machine"
fi
echo "Stages (seconds each, from the end of the one before):"
printf '  %s\n' "${stages[@]}"
exit $status
