#!/bin/bash
# Matches what the program sent one disk in one run against what QEMU says
# that disk received in the same time, in order, and prints
# "SENT REACHED EXTRA SENSE": how many the program sent, how many of them
# reached the disk in the order sent, how many commands the disk received
# that the program did not send, and how many REQUEST SENSE the transport
# sent of itself. Then, if any, the first one missing and the extra ones.
#
#   commands-reached.sh ata|scsi|usb PROGRAM_TRACE DEVICE DISK_COMMANDS
#
# PROGRAM_TRACE is the program's own trace (TORVANE_TRACE) and DEVICE its
# name there (PhysicalDrive0). Only pass-through blocks that the system
# delivered (a SCSI status came back) count as sent. For an ATA disk
# DISK_COMMANDS is drive-commands.sh's list: each ATA PASS-THROUGH must reach
# it as its ATA command, and the other blocks are the business of Linux's
# SCSI-to-ATA layer, which answers them itself. For a SCSI disk it is
# scsi-commands.sh's list, and every block must reach it, compared over the
# length its opcode's group defines. A USB disk is a SCSI disk behind the
# Bulk-Only transport, which carries no sense data: Linux's USB storage
# driver fetches it with a REQUEST SENSE of its own right after each block
# answered with CHECK CONDITION, and only then.
set -eu
awk -v kind="$1" -v device="$3" '
  function length_of(op) {
    op = index("0123456789ABCDEF", substr(op, 1, 1)) - 1
    return op <= 1 ? 6 : op <= 5 ? 10 : op == 8 ? 16 : 12
  }
  FILENAME == ARGV[1] {
    if ($1 != device || $2 != "SPTD" || $NF !~ /^status=/) next
    if (kind == "ata") { if (substr($3, 1, 2) == "A1") sent[++count] = substr($3, 19, 2) }
    else sent[++count] = substr($3, 1, 2 * length_of($3))
    checked[count] = $NF == "status=02"
    next
  }
  {
    if (kind == "ata") got = $3
    else if ($2 == "cdb") got = substr($3, 1, 2 * length_of($3))
    else got = "op:" $3
    if (sense_due && (substr(got, 1, 2) == "03" || got == "op:03")) { sense_due = 0; senses++; next }
    sense_due = 0
    want = sent[next_one]
    if (next_one <= count && (got == want || got == "op:" substr(want, 1, 2))) {
      sense_due = kind == "usb" && checked[next_one]
      next_one++
    } else extra[++extras] = $2 " " $3
  }
  BEGIN { next_one = 1 }
  END {
    printf "%d %d %d %d\n", count, next_one - 1, extras, senses
    if (next_one <= count) printf "first missing: %s\n", sent[next_one]
    for (i = 1; i <= extras; i++) printf "extra: %s\n", extra[i]
  }
' "$2" "$4"
