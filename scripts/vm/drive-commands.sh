#!/bin/bash
# Lists what one AHCI port's drive received, from QEMU's trace of a guest run
# (run-in-guest.sh's qemu-trace.log): each ATAPI packet and each ATA command
# with its time, and the error the drive answered, if any. PORT "piix" means
# the disk on the PIIX IDE controller instead.
#
#   drive-commands.sh QEMU_TRACE PORT|piix [FROM TO]
#
# FROM and TO bound the times (seconds since the epoch, the host's clock).
# Output lines:  TIME packet OPCODE NAME BYTES...   or   TIME ata COMMAND
# followed by    TIME error sense=K asc=A  when the drive refused a packet.
set -eu
trace="$1" port="$2" from="${3:-0}" to="${4:-9999999999}"
awk -v want="$port" -v from="$from" -v to="$to" '
  BEGIN {
    split("00 TEST_UNIT_READY 03 REQUEST_SENSE 12 INQUIRY 1A MODE_SENSE(6) " \
          "1B START_STOP_UNIT 1E PREVENT_ALLOW_MEDIUM_REMOVAL 25 READ_CAPACITY " \
          "28 READ(10) 43 READ_TOC 46 GET_CONFIGURATION 4A GET_EVENT_STATUS " \
          "51 READ_DISC_INFORMATION 55 MODE_SELECT(10) 5A MODE_SENSE(10) " \
          "A1 ATA_PASS_THROUGH(12) AC GET_PERFORMANCE B6 SET_STREAMING " \
          "BB SET_CD_SPEED BD MECHANISM_STATUS", w, " ")
    for (i = 1; i in w; i += 2) name[w[i]] = w[i + 1]
  }
  # Each line: PID@SECONDS.MICROS:EVENT TEXT
  { split($0, head, ":"); split(head[1], pt, "@"); time = pt[2]; event = $0
    sub(/^[^:]*:/, "", event); sub(/ .*/, "", event) }
  # First pass: which IDE state belongs to which port. ahci_cmd_done names
  # the port of the command that ide_exec_cmd just started; the pair seen
  # most often wins.
  # The PIIX disk is the one whose registers are written through I/O ports;
  # AHCI writes them itself.
  NR == FNR && event == "ide_ioport_write" {
    match($0, /IDEState 0x[0-9a-f]+/); piix[substr($0, RSTART + 9, RLENGTH - 9)] = 1
    next
  }
  NR == FNR {
    if (event == "ide_exec_cmd") { match($0, /state 0x[0-9a-f]+/); last = substr($0, RSTART + 6, RLENGTH - 6) }
    else if (event == "ahci_cmd_done" && last != "") {
      match($0, /\[[0-9]+\]/); p = substr($0, RSTART + 1, RLENGTH - 2)
      if (++seen[last, p] > best[last]) { best[last] = seen[last, p]; portof[last] = p }
      last = ""
    }
    next
  }
  FNR == 1 { for (s in piix) portof[s] = "piix" }
  time < from || time > to { next }
  event == "ide_exec_cmd" {
    match($0, /state 0x[0-9a-f]+/); s = substr($0, RSTART + 6, RLENGTH - 6)
    match($0, /cmd 0x[0-9a-f]+/); c = toupper(substr($0, RSTART + 6, RLENGTH - 6))
    if (portof[s] == want && c != "A0") printf "%s ata %s\n", time, c
  }
  event == "ide_atapi_cmd_packet" {
    match($0, /IDEState: 0x[0-9a-f]+/); s = substr($0, RSTART + 10, RLENGTH - 10)
    if (portof[s] != want) next
    bytes = $0; sub(/.*packet: */, "", bytes); sub(/ +$/, "", bytes)
    op = toupper(substr(bytes, 1, 2))
    printf "%s packet %s %s %s\n", time, op, (op in name ? name[op] : "?"), toupper(bytes)
  }
  event == "ide_atapi_cmd_error" {
    match($0, /IDEState: 0x[0-9a-f]+/); s = substr($0, RSTART + 10, RLENGTH - 10)
    if (portof[s] != want) next
    e = $0; sub(/.*; /, "", e)
    printf "%s error %s\n", time, e
  }
' "$trace" "$trace"
