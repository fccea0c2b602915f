#!/bin/bash
# End to end: Torvane.exe under Wine on a simulated machine with a command
# line, judged by the bay's trace, the registry and whether the program ended
# by itself. Usage: e2e.sh TORVANE_EXE SOURCE_DIR
set -u
exe="$1"
root="$2"
here="$root/tests/e2e"
work=$(mktemp -d)
passed=0
failed=0

# run NAME MEDIUM ARGS...: runs the program; sets $ended (yes/no) and $trace.
run() {
  local name="$1" medium="$2"
  shift 2
  sed "s/@MEDIUM@/$medium/" "$here/machine.bay" > "$work/$name.bay"
  trace="$work/$name.trace"
  rm -f "$trace"
  (cd "$work" && TORVANE_SIMULATE="$(winepath -w "$work/$name.bay" 2>/dev/null)" \
     TORVANE_SIMULATE_TRACE="$(winepath -w "$trace" 2>/dev/null)" \
     timeout 10 "$root/cmake/wine-run.sh" "$exe" "$@" >/dev/null 2>&1)
  if [ $? -eq 124 ]; then ended=no; else ended=yes; fi
  touch "$trace"
}

check() {
  local what="$1"
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
  fi
}
has() { grep -q -- "$2" "$1"; }
lacks() { ! grep -q -- "$2" "$1"; }

# Standby for hard drive 1 of two, then the program closes itself.
run standby cd-rom /DRIVE:HDD1 /STANDBY /QUIT
check "standby request ends the program" [ "$ended" = yes ]
check "STANDBY IMMEDIATE reaches disk 1" has "$trace" "PhysicalDrive1 SPTD A1060C0000000000A0E00000"
check "disk 0 is left alone" lacks "$trace" "PhysicalDrive0 ATA 0000000000A0E000"

# The same in lower case.
run lower cd-rom /drive:hdd1 /standby /quit
check "lower case ends the program" [ "$ended" = yes ]
check "lower case reaches disk 1" has "$trace" "PhysicalDrive1 SPTD A1060C0000000000A0E00000"

# Hard drive 2 does not exist: nothing happens and the window stays open.
run nodrive cd-rom /DRIVE:HDD2 /STANDBY /QUIT
check "unknown drive leaves the window open" [ "$ended" = no ]
check "unknown drive: no standby" lacks "$trace" "A0E00000"

# /FAST means nothing to a hard drive: the window stays open.
run fast cd-rom /DRIVE:HDD0 /FAST /QUIT
check "fast on a hard drive leaves the window open" [ "$ended" = no ]
check "fast on a hard drive sends no speed" lacks "$trace" "SPTD BB"

# Silent for the CD drive with a disc: 704 KB/s, stored, and the program ends.
run silent cd-rom /DRIVE:ODD0 /SILENT /QUIT
check "silent with a disc ends the program" [ "$ended" = yes ]
check "silent sets 704 KB/s" has "$trace" "E: SPTD BB0002C0"
check "the chosen speed is stored" bash -c "'$root/cmake/wine-run.sh' reg query \
  'HKCU\\Software\\Palisko\\Torvane\\ACMEOPT CD-RW CX-48     ' /v 'CD speed' 2>/dev/null | grep -q 0x2c0"

# Without a disc nothing is set, but the program still ends.
run nodisc none /DRIVE:ODD0 /SILENT /QUIT
check "silent without a disc still ends the program" [ "$ended" = yes ]
check "silent without a disc sends no speed" lacks "$trace" "SPTD BB"

rm -rf "$work"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
