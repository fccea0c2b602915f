#!/bin/bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 20), starting
# from the seed corpus in fuzz/corpus. What the fuzzers learn goes to a work
# folder, never into the tree. A crash stops the run with its input saved as
# build/fuzz/crash-*; rerun it with build/fuzz/fuzz/<target> <file>.
#
#   scripts/fuzz.sh            every target for 20 s, as CI does
#   scripts/fuzz.sh 3600       every target for an hour
#   scripts/fuzz.sh 600 bay_file   one target
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TORVANE_BUILD_DIR:-$root/build}/fuzz"
seconds="${1:-20}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(command_line speed_list device_answers bay_file)

"$root/scripts/setup.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DTORVANE_FUZZ=ON -DTORVANE_TESTS=OFF \
  >/dev/null
cmake --build "$build" -j 2 --target $(printf '%s_fuzzer ' "${targets[@]}")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for target in "${targets[@]}"; do
  cp -r "$root/fuzz/corpus/$target" "$work/$target"
  echo "== $target, $seconds s"
  if ! "$build/fuzz/${target}_fuzzer" "$work/$target" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -artifact_prefix="$build/crash-$target-" -print_final_stats=1 \
      > "$work/$target.log" 2>&1; then
    status=1
    echo "FAILED: $target found a fault:"
    grep -A30 -E "ERROR|runtime error" "$work/$target.log" | head -40
  fi
  grep -E "^stat::number_of_executed_units|^stat::peak_rss" "$work/$target.log" | sed 's/^/  /'
done
exit $status
