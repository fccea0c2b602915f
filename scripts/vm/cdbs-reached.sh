#!/bin/bash
# Checks that every command block the program passed through to the CD drive
# reached it, in the order sent: each "D: SPTD" line of the program's trace
# against the packets of drive-commands.sh's list for the same run. Other
# packets (from Linux and Wine) may come in between. Compares as many bytes
# as the opcode's group defines (6, 10, 12 or 16): the rest is padding.
#
#   cdbs-reached.sh PROGRAM_TRACE DRIVE_COMMANDS
set -eu
awk '
  function length_of(op) {
    op = index("0123456789ABCDEF", substr(op, 1, 1)) - 1
    return op <= 1 ? 6 : op <= 5 ? 10 : op == 8 ? 16 : 12
  }
  NR == FNR {
    if ($1 == "D:" && $2 == "SPTD") { n = length_of($3); sent[++count] = substr($3, 1, 2 * n) }
    next
  }
  $2 == "packet" && next_one <= count {
    bytes = ""
    for (i = 5; i <= NF; i++) bytes = bytes $i
    if (substr(bytes, 1, length(sent[next_one])) == sent[next_one]) next_one++
  }
  END {
    if (count == 0) next_one = 1
    if (next_one <= count) {
      printf "reached %d of %d blocks; the first missing: %s\n", next_one - 1, count, sent[next_one]
      exit 1
    }
  }
' "$1" "$2"
