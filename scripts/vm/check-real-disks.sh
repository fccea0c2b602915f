#!/bin/bash
# Judges the runs of the 32-bit build against the guest's emulated disks
# (guest/real-disks.sh) from outside, by QEMU's trace:
#   - in every run, each pass-through block the program traced for a disk
#     reached that disk, in order, and the disk received nothing else then
#     (an ATA disk: each ATA PASS-THROUGH as its ATA command; a SCSI disk:
#     each block; the NVMe disk: nothing at all);
#   - no disk received STANDBY IMMEDIATE or START STOP UNIT: Wine's extents
#     answer holds no extent, so the Windows disk is unknown and standby is
#     refused everywhere;
#   - the exit codes, and what the window showed for each disk: its model,
#     serial and size as QEMU was told them; the ATA disks on the SAT path
#     with their power mode; the SCSI disks without ATA features and with no
#     ATA command after discovery; the NVMe disk not listed, and a command
#     line naming it leaving the window open (no such drive), not crashing.
# Prints one summary line per disk and a FAILED line per fault.
#
#   check-real-disks.sh DISKS_TXT GUEST_DIR CLOCK_OFFSET
#
# GUEST_DIR is run-in-guest.sh's share (qemu-trace.log, out/disks/).
# CLOCK_OFFSET is what to add to a guest time to get the host's.
set -u
here=$(cd "$(dirname "$0")" && pwd)
disks_txt="$1" guest="$2" offset="$3"
dir="$guest/out/disks" trace="$guest/qemu-trace.log"
failures=0
fail() { failures=$((failures + 1)); echo "FAILED: $*"; }
[ -s "$dir/disks.map" ] || { fail "no disk was mapped in the guest"; exit 1; }

# How each case must end, whatever the disk: standby refused (4), the
# feature missing (7). A drive that does not exist leaves the window open.
expected() {
  case "$1:$2" in
    nvme:standby) echo "ended=no exit=-" ;;
    *:standby) echo "ended=yes exit=4" ;;
    *:apm|*:aam) echo "ended=yes exit=7" ;;
    *:window) echo "ended=no exit=-" ;;
  esac
}

# What one disk received between two host times.
received() {  # NAME CONTROLLER FROM TO
  case "$2" in
    ahci) "$here/drive-commands.sh" "$trace" 0 "$3" "$4" | grep ' ata ' ;;
    piix) "$here/drive-commands.sh" "$trace" piix "$3" "$4" | grep ' ata ' ;;
    xhci-bot) "$here/scsi-commands.sh" "$trace" 0 "$3" "$4" ;;
    virtio-scsi) "$here/scsi-commands.sh" "$trace" 1 "$3" "$4" ;;
    nvme) awk -v from="$3" -v to="$4" '/:pci_nvme_(admin|io)_cmd / {
            split($0, h, ":"); split(h[1], t, "@"); if (t[2] >= from && t[2] <= to) print t[2], "nvme", $0 }' "$trace" ;;
  esac
}

# The drive box's entry for a disk, as DriveEntryText writes it: the size in
# decimal GB, then the IDENTIFY model of an ATA disk, or a SCSI disk's
# INQUIRY vendor and product.
entry_of() {  # N CONTROLLER SECTORS MODEL
  local name="$4"
  case "$2" in xhci-bot|virtio-scsi) name="TORVANE $4" ;; esac
  echo "[HDD$1 - $(($3 * 512 / 1000000000)) GB]:$name"
}

while read -r name controller sectors model serial; do
  n=$(awk -v d="$name" '$2 == d { print $1 }' "$dir/disks.map")
  [ -n "$n" ] || { fail "$name: not mapped in the guest"; continue; }
  kind=scsi
  case "$controller" in ahci|piix) kind=ata ;; xhci-bot) kind=usb ;; nvme) kind=nvme ;; esac
  sent=0 reached=0 extra=0 senses=0 codes=ok
  while read -r run ended code from to; do
    from=$(echo "${from#start=} + $offset" | bc)
    to=$(echo "${to#end=} + $offset" | bc)
    received "$name" "$controller" "$from" "$to" > "$dir/$run.$name.disk"
    grep -q "^PhysicalDrive$n SPTD " "$dir/$run.trace" 2>/dev/null \
      || [ "$kind" = nvme ] || fail "$name: $run sent it nothing"
    if [ "$kind" = nvme ]; then
      result="0 0 $(wc -l < "$dir/$run.$name.disk") 0"
    else
      result=$("$here/commands-reached.sh" "$kind" "$dir/$run.trace" "PhysicalDrive$n" "$dir/$run.$name.disk")
    fi
    read -r s r x q <<< "$(head -n 1 <<< "$result")"
    sent=$((sent + s)) reached=$((reached + r)) extra=$((extra + x)) senses=$((senses + q))
    if [ "$r" != "$s" ] || [ "$x" != 0 ]; then
      fail "$name: $run sent $s, $r reached, $x more received"
      tail -n +2 <<< "$result" | head -n 8 | sed 's/^/      /'
    fi
    if grep -qE ' ata (E0|94)$| cdb (1B|A1....{14}E0)' "$dir/$run.$name.disk"; then
      fail "$name: $run put it in standby"
    fi
    # Only this disk's own cases have an outcome of their own to check.
    case "$run" in "$name"-*) ;; *) continue ;; esac
    want=$(expected "$name" "${run#"$name"-}")
    [ "$ended $code" = "$want" ] || { codes="not as expected"; fail "$name: $run $ended $code, expected $want"; }
  done < "$dir/results.txt"

  # What the program made of the disk: its path and what the window shows
  # (Wine writes the helper's lines with CR LF).
  text="$dir/$name-window.txt"
  window_case=window
  [ "$kind" = nvme ] && window_case=standby
  tr -d '\r' < "$dir/$name-$window_case.text" > "$text" 2>/dev/null
  entry=$(entry_of "$n" "$controller" "$sectors" "$model")
  if [ "$kind" != nvme ] && ! grep -qxF "drive $n $entry" "$text"; then
    fail "$name: the drive box lacks \"$entry\""
  fi
  case "$kind" in
    ata)
      grep -q "^PhysicalDrive$n SPTD A1080D0000000000A0EC0000 .*status=00" "$dir/$name-standby.trace" \
        || fail "$name: no IDENTIFY over ATA PASS-THROUGH (12)"
      grep -q "^PhysicalDrive$n SPTD A1062C0000000000A0E50000 " "$dir/$name-window.trace" \
        || fail "$name: its power mode was not asked"
      grep -qxF "Static 1003 #$serial" "$text" || fail "$name: the serial #$serial is not shown"
      grep -qx "Static 1002 active" "$text" || fail "$name: its power mode is not shown as active"
      ;;
    scsi|usb)
      # Asked for an ATA path during discovery, which ends with the last
      # physical drive number; never again after it.
      for run_trace in "$dir"/*.trace; do
        if awk -v d="PhysicalDrive$n" '/^PhysicalDrive63 OPEN / { done = 1 }
             done && $1 == d && $2 == "SPTD" && $3 ~ /^(A1|DF|F8)/ { found = 1 } END { exit !found }' "$run_trace"; then
          fail "$name: an ATA command after discovery in $(basename "$run_trace")"
        fi
      done
      ;;
    nvme)
      # Every window left open, whichever disk it was opened on.
      for shown in "$dir"/*.text; do
        grep -q "^drive $n " "$shown" && fail "$name: listed in $(basename "$shown")"
      done
      ;;
  esac
  case "$kind" in
    nvme) echo "real disk $name: not listed; $extra commands received during the runs, exit codes $codes" ;;
    ata) echo "real disk $name: $sent ATA commands sent, $reached reached, $extra more received, exit codes $codes" ;;
    usb) echo "real disk $name: $sent commands sent, $reached reached, $extra more received" \
              "(and $senses REQUEST SENSE of Linux's own), exit codes $codes" ;;
    *) echo "real disk $name: $sent commands sent, $reached reached, $extra more received, exit codes $codes" ;;
  esac
done < <(grep -v '^#' "$disks_txt")
[ "$failures" -eq 0 ]
