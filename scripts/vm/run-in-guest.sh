#!/bin/bash
# Boots the guest image under QEMU (TCG) and runs one job script in it.
#
#   run-in-guest.sh [options] SHARE_DIR JOB_SCRIPT
#
# SHARE_DIR is shared with the guest over 9p as its /mnt/host and is its
# working folder: put the job's input files there, and find there afterwards
#   job.log, job.rc      the job's output and exit code
#   console.log          the guest's serial console
#   qemu-trace.log       what QEMU's AHCI, IDE, ATAPI, SCSI and NVMe devices received
#   qemu.log             QEMU's own messages
# The machine has an AHCI controller with a SATA disk on port 0 and one ATAPI
# CD drive per --cd on ports 1, 2..., and four more disks, each on a
# controller of its own (the table below). The guest's own system disk is
# virtio-blk, so that everything on these buses is the program's doing.
# The disks are sparse images of real sizes; the guest's init loads only the
# AHCI driver, so the others appear when a job loads theirs (guest/real-disks.sh).
#
# Options:
#   --image DIR     the image folder (default: the cached image of build-image.sh)
#   --cd ISO|none   adds a CD drive holding ISO, or an empty one (default: one empty)
#   --no-cd         no CD drive at all
#   --writable      keep what the guest writes (only build-image.sh does that)
#   --timeout SEC   the job's time limit in the guest (default 600)
# Exits with the job's exit code, or 125 when the job never reported one.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

image="" cds=() no_cd=0 writable=0 limit=600
while [ $# -gt 2 ]; do
  case "$1" in
    --image) image="$2"; shift 2 ;;
    --cd) cds+=("$2"); shift 2 ;;
    --no-cd) no_cd=1; shift ;;
    --writable) writable=1; shift ;;
    --timeout) limit="$2"; shift 2 ;;
    *) echo "run-in-guest.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
[ $# -eq 2 ] || { sed -n '2,25p' "$0" >&2; exit 2; }
share=$(cd "$1" && pwd)
job="$2"
image="${image:-$(vm_image_dir)}"
[ -f "$image/disk.img" ] || { echo "run-in-guest.sh: no guest image in $image (run build-image.sh)" >&2; exit 2; }
[ ${#cds[@]} -eq 0 ] && [ "$no_cd" = 0 ] && cds=(none)

cp "$job" "$share/job.sh"
rm -f "$share/job.rc" "$share/job.log" "$share/console.log" "$share/qemu-trace.log"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The disks the program may send commands to (disks.txt): empty sparse
# images of the sizes of real drives, each with a model and serial of its own.
# The USB and virtio-scsi disks are told apart in the trace by their SCSI
# targets, 0 and 1.
disk_args=()
while read -r name controller sectors model serial; do
  truncate -s $((sectors * 512)) "$scratch/$name.img"
  disk_args+=(-drive "if=none,id=$name,file=$scratch/$name.img,format=raw")
  case "$controller" in
    ahci) disk_args+=(-device "ide-hd,drive=$name,bus=ahci.0,model=$model,serial=$serial") ;;
    piix) disk_args+=(-device "ide-hd,drive=$name,bus=ide.0,unit=0,model=$model,serial=$serial") ;;
    xhci-bot) disk_args+=(-device qemu-xhci,id=xhci -device usb-bot,id=bot,bus=xhci.0
      -device "scsi-hd,drive=$name,bus=bot.0,scsi-id=0,lun=0,vendor=TORVANE,product=$model,serial=$serial") ;;
    virtio-scsi) disk_args+=(-device virtio-scsi-pci,id=vscsi
      -device "scsi-hd,drive=$name,bus=vscsi.0,scsi-id=1,lun=0,vendor=TORVANE,product=$model,serial=$serial") ;;
    nvme) disk_args+=(-device "nvme,drive=$name,serial=$serial") ;;
  esac
done < <(grep -v '^#' "$vm_here/disks.txt")
# What the drives received: the ATA command of each task file, the PIIX
# disk's register writes (which tell its IDE state from the AHCI ports'),
# each ATAPI packet with its opcode, the errors the CD drive answered, which
# AHCI port ended each command, each SCSI command block a SCSI disk parsed
# (or refused to) and the sense it answered with, and each NVMe command.
printf '%s\n' ide_exec_cmd ide_ioport_write ide_atapi_cmd ide_atapi_cmd_packet \
  ide_atapi_cmd_error ahci_cmd_done scsi_req_parsed scsi_req_parse_bad \
  scsi_req_build_sense scsi_disk_new_request pci_nvme_admin_cmd pci_nvme_io_cmd > "$scratch/events"

snapshot=on
[ "$writable" = 1 ] && snapshot=off
args=(-accel "${TORVANE_VM_ACCEL:-tcg}" -cpu "${TORVANE_VM_CPU:-qemu64}"
      -smp "${TORVANE_VM_CPUS:-2}" -m 3072
      -nodefaults -no-user-config -display none -no-reboot -nic none
      -kernel "$image/vmlinuz" -initrd "$image/initrd.img"
      -append "root=/dev/vda rw rootfstype=ext4 console=ttyS0 panic=1 init=/usr/local/sbin/torvane-guest-init torvane.timeout=$limit torvane.cds=${#cds[@]}"
      -drive "file=$image/disk.img,format=raw,if=virtio,snapshot=$snapshot"
      -device ahci,id=ahci "${disk_args[@]}"
      -virtfs "local,path=$share,mount_tag=host,security_model=none,id=host"
      -serial "file:$share/console.log"
      -msg timestamp=on -trace "events=$scratch/events,file=$share/qemu-trace.log")
port=1
for cd in "${cds[@]}"; do
  if [ "$cd" = none ]; then
    args+=(-drive "if=none,id=cd$port,media=cdrom")
  else
    args+=(-drive "if=none,id=cd$port,media=cdrom,readonly=on,format=raw,file=$(realpath "$cd")")
  fi
  args+=(-device "ide-cd,drive=cd$port,bus=ahci.$port")
  port=$((port + 1))
done

t=$(vm_now)
# The guest powers off when its job ends; this bounds a guest that hangs.
timeout $((limit + 240)) qemu-system-x86_64 "${args[@]}" > "$share/qemu.log" 2>&1 || true
echo "guest ran $(vm_since "$t") s" >&2
if [ ! -f "$share/job.rc" ]; then
  echo "run-in-guest.sh: the job reported no exit code; the console ends with:" >&2
  tail -n 20 "$share/console.log" >&2 || true
  exit 125
fi
exit "$(cat "$share/job.rc")"
