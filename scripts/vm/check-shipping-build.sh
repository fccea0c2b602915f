#!/bin/bash
# Checks the shipping 32-bit Torvane.exe where it can run: under 32-bit Wine
# in a Debian 12 guest under QEMU (see build-image.sh), in one boot.
#   1. Bay cases run with the 32-bit build in the guest and with the 64-bit
#      build on the host; their traces, endings and registry keys must be
#      equal. By default a few cases that between them take every structure
#      the program hands the system (below); TORVANE_VM=full runs all the
#      end-to-end cases of tests/e2e/e2e.sh and a few more on
#      examples/sample.bay.
#   2. The 32-bit window on the sample bay is saved as a screenshot.
#   3. The 32-bit build runs on the real system of the guest, against QEMU's
#      emulated ATAPI CD drives, one empty and one with a data disc; QEMU's
#      trace must show the commands reaching the drive.
#   4. It runs against QEMU's emulated disks on five controllers (disks.txt;
#      check-real-disks.sh judges them), and its window on the SATA disk is
#      saved as a screenshot.
# With --zip, the guest unpacks the release zip and runs the Torvane.exe in
# it; without, or when the zip is missing, the one from WIN32.
#
#   check-shipping-build.sh [--zip ZIP] WIN32 WIN64 [OUT_DIR]
#
# WIN32 and WIN64 are build folders (their app/Torvane.exe is used) or the
# programs themselves. OUT_DIR (default build/vm-check) receives everything.
# Exits non-zero when any check fails.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/lib.sh"

exe_of() { if [ -d "$1" ]; then echo "$1/app/Torvane.exe"; else echo "$1"; fi; }
zip=""
if [ "${1:-}" = --zip ]; then zip="$2"; shift 2; fi
[ $# -ge 2 ] || { sed -n '2,26p' "$0" >&2; exit 2; }
exe32=$(realpath "$(exe_of "$1")")
exe64=$(realpath "$(exe_of "$2")")
out=$(realpath -m "${3:-$root/build/vm-check}")
for exe in "$exe32" "$exe64"; do
  [ -f "$exe" ] || { echo "no program at $exe" >&2; exit 2; }
done

start=$(vm_now)
timings=()
stage() { timings+=("$(printf '%-34s %7s s' "$1" "$(vm_since "$2")")"); }
passed=0 failed=0
pass() { passed=$((passed + 1)); }
fail() { failed=$((failed + 1)); echo "FAILED: $*"; }

vm_install_host_packages
t=$(vm_now)
"$here/build-image.sh" | tail -n 1
stage "guest image (build or cache)" "$t"

rm -rf "$out"
mkdir -p "$out/guest/in" "$out/host"
in="$out/guest/in"
# Both programs run as Torvane.exe: the name decides the registry key the
# program keeps its settings under.
cp "$exe32" "$in/Torvane.exe"
cp "$exe64" "$out/host/Torvane.exe"
cp "$here/run-cases.sh" "$here/disks.txt" "$here/guest/real-disks.sh" "$here/guest/unzip.sh" "$in/"
if [ -n "$zip" ] && [ -f "$zip" ]; then
  cp "$zip" "$in/Torvane.zip"
  echo "The guest runs Torvane.exe from $zip"
else
  echo "No release zip${zip:+ at $zip}: the guest runs $exe32"
fi
# What the window shows, read from outside: built for the program's width.
i686-w64-mingw32-g++-posix -O1 -static -o "$in/window_text.exe" "$root/tests/e2e/WindowText.cpp"

# The bay cases. The guest gets more time than the host: under TCG a run
# takes 5-20 s. The quick set, and what each takes across the system
# boundary of the 32-bit build:
#   sample-window  the sample machine's window: discovery over
#                  IOCTL_ATA_PASS_THROUGH, ATA PASS-THROUGH (12) and the F8h
#                  bridge in SCSI pass-through blocks, the storage property,
#                  the geometry, a Windows volume's extents answer, the
#                  optical drives' commands, the page's timer
#   first          a first speed for a DVD drive: the speed probe's worker
#                  thread, and the learned speeds written to the registry
#   refused        a value refused under /QUIT: its message box closes itself
#   paths-standby  SMART control codes (IDENTIFY in, STANDBY IMMEDIATE out),
#                  the DFh bridge with its read-back, and a Windows volume
#                  in two extents
quick="first refused"
[ "${TORVANE_VM:-}" = full ] && quick=""
"$here/e2e-cases.sh" "$root" "$in" \
  | awk -v keep="$quick" 'keep == "" || index(" " keep " ", " " $1 " ")' > "$out/bay-cases.txt"
cp "$root/examples/sample.bay" "$here/ata-paths.bay" "$in/"
if [ "${TORVANE_VM:-}" = full ]; then
  cat >> "$out/bay-cases.txt" <<'CASES'
sample-hdd1-standby 10 sample.bay /DRIVE:HDD1 /STANDBY /QUIT
sample-odd1-silent 10 sample.bay /DRIVE:ODD1 /SILENT /QUIT
sample-odd0-fast 10 sample.bay /DRIVE:ODD0 /FAST /QUIT
CASES
fi
cat >> "$out/bay-cases.txt" <<'CASES'
paths-standby 10 ata-paths.bay /DRIVE:HDD1 /STANDBY /QUIT
sample-window 4 sample.bay
CASES
cp "$out/bay-cases.txt" "$out/host/bay-cases.txt"
# The host alone runs the bay of the guest's disks, to compare with the
# guest's real run of the same command line.
echo "emulated-disks 60 emulated-disks.bay /DRIVE:HDD0 /STANDBY /QUIT" >> "$out/host/bay-cases.txt"
cp "$root/examples/emulated-disks.bay" "$out/host/"
awk '{ $2 = $2 * 3 + 20; print }' "$out/bay-cases.txt" > "$in/bay-cases.txt"
cp "$in"/*.bay "$out/host/"
# The real system's cases, run once with each CD drive as D:. The window
# stays open for 20 s, long enough for the page to poll its drive.
cat > "$in/cd-cases.txt" <<'CASES'
silent 120 - /DRIVE:ODD0 /SILENT /QUIT
fast 120 - /DRIVE:ODD0 /FAST /QUIT
standby 120 - /DRIVE:ODD0 /STANDBY /QUIT
window 20 - /DRIVE:ODD0
CASES

# The data disc: a small ISO 9660 image.
mkdir -p "$out/disc"
echo "A data disc for Torvane's checks in the virtual machine." > "$out/disc/README.TXT"
genisoimage -quiet -V TORVANE_DATA -r -J -o "$out/data.iso" "$out/disc"

# The guest and the host's 64-bit side run side by side: the guest spends
# much of its time waiting for windows, and so does the host.
echo "== 32-bit build in the guest (one boot), beside the 64-bit build on the host"
t=$(vm_now)
# The guest's time limit: every case's own, and a minute each for the Wine
# programs around it, on top of the boot, Wine's start and the disk cases.
limit=$(awk '{ s += $2 + 60 } END { print s * 2 + 1500 }' "$in/bay-cases.txt" "$in/cd-cases.txt")
"$here/run-in-guest.sh" --cd none --cd "$out/data.iso" --timeout "$limit" \
  "$out/guest" "$here/guest/shipping-job.sh" > "$out/guest/run.log" 2>&1 &
guest=$!
(
  export WINEPREFIX="$vm_cache_root/wine64-prefix"
  source "$root/scripts/virtual-display.sh"
  torvane_start_display
  WINE=$(command -v wine64 || echo /usr/lib/wine/wine64) \
    "$here/run-cases.sh" "$out/host/Torvane.exe" "$out/host/bay-cases.txt" "$out/host/bay"
) > "$out/host/run.log" 2>&1
stage "64-bit cases on the host" "$t"
guest_status=0
wait "$guest" || guest_status=$?
cat "$out/guest/run.log"
stage "guest boot and 32-bit cases" "$t"
g="$out/guest/out"
if [ "$guest_status" -ne 0 ]; then fail "the guest job ended with $guest_status (see $out/guest/job.log)"; else pass; fi
boot=$(sed -n 's/.*torvane-guest: \[\([0-9.]*\) s\] running job.sh.*/\1/p' "$out/guest/console.log")
timings+=("$(printf '%-34s %7s s' "  of which the boot (to the job)" "${boot:-?}")")
# What the guest's steps took, from its own log.
grep '^\[' "$out/guest/job.log" || true

# From here on every check runs, whatever the ones before it found.
set +e

echo "== 32-bit against 64-bit on the sample bays"
# Two traces of a case agree when they are equal, line for line: the program
# starts a speed probe's worker only once its window has sent what it sends
# while showing the drive, so the order is the same on every run. The same
# lines in another order fail as well, and are told apart in the report. A
# window left open polls its drive for as long as it is open, so there the
# shorter trace must match the start of the longer, and the longer may go on
# only with lines the shorter already has.
sorted_equal() { cmp -s <(sort "$1") <(sort "$2"); }
# A registry dump with the times of the values that hold one masked.
reg_text() { sed -E 's/^( +(First reading|Standby timer set) +REG_SZ +).*/\1(a time)/' "$1"; }
compare_traces() {  # A B ended|open: prints equal, reordered or differs
  local a="$1" b="$2" short long n
  if [ "$3" = ended ]; then
    if cmp -s "$a" "$b"; then echo equal; elif sorted_equal "$a" "$b"; then echo reordered
    else echo differs; fi
    return
  fi
  short="$a" long="$b"
  [ "$(wc -l < "$a")" -le "$(wc -l < "$b")" ] || { short="$b"; long="$a"; }
  n=$(wc -l < "$short")
  if ! awk 'NR == FNR { seen[$0] = 1; next } FNR > n && !($0 in seen) { exit 1 }' \
      n="$n" "$short" "$long"; then
    echo differs
  elif cmp -s <(head -n "$n" "$long") "$short"; then echo equal
  elif sorted_equal <(head -n "$n" "$long") "$short"; then echo reordered
  else echo differs; fi
}
took() {
  awk -v n="$2" '$1 == n { sub(/start=/, "", $4); sub(/end=/, "", $5); printf "%.1f s", $5 - $4 }' \
    "$1/results.txt" 2>/dev/null
}
reordered=()
while read -r name _ bay _; do
  h="$out/host/bay"
  if [ "$bay" = - ]; then
    # Wine's made-up devices are not the same in the guest as on the host.
    echo "  $name: the real system, not compared ($(took "$g/bay" "$name") in the guest)"
    continue
  fi
  r32=$(grep "^$name " "$g/bay/results.txt" 2>/dev/null | cut -d' ' -f2,3)
  r64=$(grep "^$name " "$h/results.txt" 2>/dev/null | cut -d' ' -f2,3)
  if [ -z "$r32" ] || [ -z "$r64" ]; then fail "$name: not run (32-bit: '$r32', 64-bit: '$r64')"; continue; fi
  if [ "$r32" != "$r64" ]; then fail "$name: 32-bit $r32, 64-bit $r64"; continue; fi
  # When something was stored is the machine's time of each run, not a difference.
  if ! cmp -s <(reg_text "$g/bay/$name.reg") <(reg_text "$h/$name.reg"); then
    fail "$name: registry differs"; diff "$h/$name.reg" "$g/bay/$name.reg" | head -n 20
    continue
  fi
  if ! cmp -s "$g/bay/$name.state" "$h/$name.state"; then
    fail "$name: the drives were left in another state"
    diff "$h/$name.state" "$g/bay/$name.state" | head -n 20
    continue
  fi
  kind=ended
  [ "$r32" = "${r32#ended=no}" ] || kind=open
  verdict=$(compare_traces "$g/bay/$name.trace" "$h/$name.trace" $kind)
  about="$r32, $(wc -l < "$g/bay/$name.trace")/$(wc -l < "$h/$name.trace") lines, 32-bit $(took "$g/bay" "$name")"
  case "$verdict" in
    equal) pass; echo "  $name: traces equal ($about)" ;;
    reordered)
      reordered+=("$name")
      fail "$name: the same lines in another order ($about; 64-bit -, 32-bit +)"
      diff -u "$h/$name.trace" "$g/bay/$name.trace" | grep '^[-+][^-+]' | head -n 10 | sed 's/^/      /' ;;
    *)
      fail "$name: traces differ ($about; 64-bit -, 32-bit +)"
      diff -u "$h/$name.trace" "$g/bay/$name.trace" | head -n 40 ;;
  esac
done < "$out/bay-cases.txt"

if [ -s "$g/bay/sample-window.png" ]; then
  cp "$g/bay/sample-window.png" "$out/main-window-32bit.png"
  pass; echo "  screenshot: $out/main-window-32bit.png"
else
  fail "no screenshot of the 32-bit window"
fi

echo "== 32-bit against the emulated CD drives (QEMU's trace)"
# The guest's clock against the host's, for reading QEMU's trace by time.
offset=0
if [ -f "$g/guest-clock" ]; then
  offset=$(echo "$(stat -c %.6Y "$g/guest-clock") - $(cat "$g/guest-clock")" | bc)
fi
echo "  guest clock behind the host by $offset s"
# What each case must show on the drive: a speed for /SILENT and /FAST when a
# disc is in, none without; START STOP UNIT for /STANDBY; GET CONFIGURATION
# from the window's polling.
expect() {
  case "$1:$2" in
    disc:silent|disc:fast) echo "has BB" ;;
    nodisc:silent|nodisc:fast) echo "lacks BB" ;;
    *:standby) echo "has 1B" ;;
    *:window) echo "has 46" ;;
  esac
}
for phase in nodisc disc; do
  dir="$g/cd-$phase"
  [ -f "$g/cd-$phase.port" ] || { fail "$phase: no CD drive in the guest"; continue; }
  read -r port device < "$g/cd-$phase.port"
  while read -r name ended code from to; do
    from=$(echo "${from#start=} + $offset" | bc)
    to=$(echo "${to#end=} + $offset" | bc)
    "$here/drive-commands.sh" "$out/guest/qemu-trace.log" "$port" "$from" "$to" \
      > "$dir/$name.drive"
    opcodes=$(awk '$2 == "packet" { print $3 }' "$dir/$name.drive" | sort | uniq -c \
      | awk '{ printf "%s%sx%s", sep, $2, $1; sep = " " }')
    echo "  $phase/$name ($device, $(took "$dir" "$name")): $ended $code; the drive received: ${opcodes:-nothing}"
    read -r rule opcode <<< "$(expect "$phase" "$name")"
    if grep -q " packet $opcode " "$dir/$name.drive"; then got=has; else got=lacks; fi
    if [ "$got" = "$rule" ]; then pass; else fail "$phase/$name: the drive $got $opcode"; fi
    want=ended=yes
    [ "$name" = window ] && want=ended=no
    if [ "$ended" = "$want" ]; then pass; else fail "$phase/$name: $ended, expected $want"; fi
    # The program's own trace of the real system, when the build writes one:
    # each pass-through it sent to D: must reach the drive, in that order.
    if grep -q '^D: SPTD ' "$dir/$name.trace" 2>/dev/null; then
      if "$here/cdbs-reached.sh" "$dir/$name.trace" "$dir/$name.drive"; then pass
      else fail "$phase/$name: pass-through blocks missing from QEMU's trace"; fi
    fi
  done < "$dir/results.txt"
done

echo "== 32-bit against the emulated disks (QEMU's trace)"
if "$here/check-real-disks.sh" "$here/disks.txt" "$out/guest" "$offset"; then pass; else fail "the emulated disks (above)"; fi
if [ -s "$g/disks/sata-window.png" ]; then
  cp "$g/disks/sata-window.png" "$out/sata-window-32bit.png"
  pass; echo "  screenshot: $out/sata-window-32bit.png"
else
  fail "no screenshot of the 32-bit window on the SATA disk"
fi

echo "== the bay of the emulated disks against the real ones"
# examples/emulated-disks.bay describes the guest's disks as the program
# sees them there: on it the 64-bit build must trace what the 32-bit one
# traced in the guest. The guest's box was closed at once, while the host's
# closes itself after 30 s with the page polling meanwhile: the host's trace
# may only go on with lines the guest's has.
real=$(grep '^sata-standby ' "$g/disks/results.txt" | cut -d' ' -f2,3)
simulated=$(grep '^emulated-disks ' "$out/host/bay/results.txt" | cut -d' ' -f2,3)
verdict=$(compare_traces "$g/disks/sata-standby.trace" "$out/host/bay/emulated-disks.trace" open)
if [ "$verdict" = equal ] && [ "$real" = "$simulated" ]; then
  pass; echo "  the same trace and ending ($real)"
else
  fail "the bay of the emulated disks: $verdict, $simulated against the real $real (real -, bay +)"
  diff -u "$g/disks/sata-standby.trace" "$out/host/bay/emulated-disks.trace" | head -n 30
fi

echo "== the program the guest ran"
read -r from sum < "$g/program.txt" 2>/dev/null || from=none
if [ "$from" = zip ]; then
  want=$(sed -n 's/^\([0-9a-f]*\)  Torvane.exe$/\1/p' "$(dirname "$zip")/SHA256SUMS" 2>/dev/null)
  if [ -n "$want" ] && [ "$sum" = "$want" ]; then pass; echo "  Torvane.exe unpacked from $(basename "$zip"), as SHA256SUMS lists it"
  else fail "the Torvane.exe unpacked in the guest is not the one SHA256SUMS lists"; fi
elif [ "$from" = build ]; then
  echo "  the build's Torvane.exe (no release zip)"
else
  fail "the guest did not say which program it ran"
fi

stage total "$start"
echo
echo "Timings:"
printf '  %s\n' "${timings[@]}"
[ ${#reordered[@]} -eq 0 ] || echo "Traces equal but for the order of lines (failed): ${reordered[*]}"
echo "Everything is in $out (guest console: guest/console.log, QEMU trace: guest/qemu-trace.log)"
echo "vm: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
