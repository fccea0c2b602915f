#!/bin/bash
# Lists the command blocks one QEMU SCSI disk received, from QEMU's trace of
# a guest run (run-in-guest.sh's qemu-trace.log), with their times. The disk
# is named by its SCSI target (the USB disk 0, the virtio-scsi disk 1).
#
#   scsi-commands.sh QEMU_TRACE TARGET [FROM TO]
#
# FROM and TO bound the times (seconds since the epoch, the host's clock).
# Output lines:  TIME cdb BYTES   a block the disk parsed, all its bytes
#                TIME op OPCODE   a block the target answered itself
#                TIME bad OPCODE  a block it refused before parsing (QEMU
#                                 does so with vendor opcodes such as DFh)
set -eu
trace="$1" target="$2" from="${3:-0}" to="${4:-9999999999}"
awk -v want="$target" -v from="$from" -v to="$to" '
  { split($0, head, ":"); split(head[1], pt, "@"); time = pt[2]; event = $0
    sub(/^[^:]*:/, "", event); sub(/ .*/, "", event) }
  function number(name) { match($0, name " -?[0-9]+"); return substr($0, RSTART + length(name) + 1, RLENGTH - length(name) - 1) + 0 }
  # A block the target answered itself (REPORT LUNS, a pending unit
  # attention) is parsed but never dumped: it shows by its opcode alone.
  function flush() { if (pending != "") printf "%s op %02X\n", pending_time, pending; pending = "" }
  # scsi_req_parsed names the target; the disk then dumps the block of that
  # same request, right after it.
  event == "scsi_req_parsed" {
    flush()
    if (number("target") == want && time >= from && time <= to) { pending = number("command"); pending_time = time }
    next
  }
  event == "scsi_req_parse_bad" {
    flush()
    if (number("target") == want && time >= from && time <= to) printf "%s bad %02X\n", time, number("command")
    next
  }
  event == "scsi_disk_new_request" && pending != "" {
    bytes = $0; sub(/.*data=/, "", bytes); gsub(/0x/, "", bytes); gsub(/ /, "", bytes)
    printf "%s cdb %s\n", pending_time, toupper(bytes)
    pending = ""
    next
  }
  END { flush() }
' "$trace"
