#!/bin/bash
# Guest part of the real-disk check, run by shipping-job.sh: loads the
# drivers of the guest's other disks, maps each disk of disks.txt to
# physicaldriveN in that order, and runs Torvane.exe against them with no
# bay. For each disk: /STANDBY, /APM:128 and /AAM:OFF, each with /QUIT, and
# its window left open (30 s for the first, 12 s for the others; its text and
# a screenshot kept).
#
#   real-disks.sh EXE WORK_DIR OUT_DIR
#
# WORK_DIR holds run-cases.sh, disks.txt and window_text.exe. OUT_DIR gets
# disks.map (N NAME DEVICE, one line per mapped disk) and run-cases.sh's
# files. The CD drive letters are removed first: Wine keeps at most five
# device nodes per process for its pass-through, and five disks fill them.
set -u
exe="$1" work="$2" out="$3"
mkdir -p "$out"
stamp() { echo "[$(date +%T)] $*"; }

# By name, as there is no udev: PIIX IDE, USB storage on xHCI, virtio-scsi
# and NVMe (AHCI is loaded at boot).
modprobe -a ata_piix xhci_pci usb_storage uas virtio_scsi nvme

# The block device of one disk: the NVMe namespace, or the SCSI disk whose
# INQUIRY product (for an ATA disk, its model's first 16 characters) is MODEL.
device_of() {
  local block
  if [ "$1" = nvme ]; then ls /dev/nvme*n1 2>/dev/null | head -n 1; return; fi
  for block in /sys/block/sd*; do
    [ "$(sed 's/ *$//' "$block/device/model" 2>/dev/null)" = "${2:0:16}" ] && echo "/dev/${block##*/}"
  done
}

grep -v '^#' "$work/disks.txt" > "$work/disks.list"
for _ in $(seq 1 300); do
  missing=0
  while read -r name controller _ model _; do
    [ -n "$(device_of "$controller" "$model")" ] || missing=1
  done < "$work/disks.list"
  [ "$missing" = 0 ] && break
  sleep 0.2
done

wineserver -k; wineserver -w
rm -f "$WINEPREFIX"/dosdevices/d: "$WINEPREFIX"/dosdevices/d::
: > "$out/disks.map"
n=0
while read -r name controller _ model _; do
  device=$(device_of "$controller" "$model")
  if [ -n "$device" ]; then
    ln -sfn "$device" "$WINEPREFIX/dosdevices/physicaldrive$n"
    echo "$n $name $device" >> "$out/disks.map"
  else
    stamp "no device for the $name disk"
  fi
  n=$((n + 1))
done < "$work/disks.list"
stamp "disks: $(tr '\n' ' ' < "$out/disks.map")"
wineserver -p

# The cases. The program lists the disks it can reach as HDD0, HDD1... in
# the order of their numbers; a disk it cannot reach (NVMe) is only asked to
# stand by, by the number it would have had. The first disk's window stays
# open 30 s, three polls; the others' 12 s, one poll each, which is all that
# tells them apart and keeps the check short.
: > "$work/disk-cases.txt"
n=0
window=30
while read -r name _; do
  if [ "$name" = nvme ]; then
    echo "$name-standby 20 - /DRIVE:HDD$n /STANDBY /QUIT" >> "$work/disk-cases.txt"
  else
    cat >> "$work/disk-cases.txt" <<CASES
$name-standby 90 - /DRIVE:HDD$n /STANDBY /QUIT
$name-apm 90 - /DRIVE:HDD$n /APM:128 /QUIT
$name-aam 90 - /DRIVE:HDD$n /AAM:OFF /QUIT
$name-window $window - /DRIVE:HDD$n
CASES
    window=12
  fi
  n=$((n + 1))
done < "$work/disks.list"
cp "$work/disk-cases.txt" "$out/cases.txt"
# An unattended run's box would close itself after 30 s; its outcome is
# known when it shows, so a helper closes each box at once (it leaves the
# main window alone). Nothing here is kept in the registry: a level that
# the disk lacks is not stored.
wine "$work/window_text.exe" --close-boxes >/dev/null 2>&1 &
closer=$!
TORVANE_NO_REGISTRY=1 TORVANE_WINDOW_TEXT="$work/window_text.exe" \
  "$work/run-cases.sh" "$exe" "$work/disk-cases.txt" "$out"
status=$?
kill "$closer"
exit $status
