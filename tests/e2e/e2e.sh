#!/bin/bash
# End to end: Torvane.exe under Wine on a simulated machine with a command
# line, judged by the bay's trace and the state it leaves, the registry,
# whether the program ended by itself, and its exit code.
# Usage: e2e.sh TORVANE_EXE SOURCE_DIR CLOSE_WINDOW_EXE
set -u
exe="$1"
root="$2"
closer="$3"
# Paths outside ASCII reach Wine's programs as Windows would give them.
export LC_ALL=C.UTF-8
here="$root/tests/e2e"
wine_run="$root/cmake/wine-run.sh"
work=$(mktemp -d)
passed=0
failed=0

winpath() { winepath -w "$1" 2>/dev/null; }

# launch NAME BAY ARGS...: starts the program in the background on the bay
# file BAY ("" for none: the real system, traced). Its exit code lands in
# NAME.code when it ends. The run's files are NAME.*: keep bay files apart.
launch() {
  local name="$1" bay="$2"
  shift 2
  rm -f "$work/$name".*
  date +%s > "$work/$name.start"
  (
    cd "$work" || exit
    export TORVANE_TRACE="$(winpath "$work/$name.trace")"
    export TORVANE_SIMULATE_STATE="$(winpath "$work/$name.state")"
    [ -n "$bay" ] && export TORVANE_SIMULATE="$(winpath "$bay")"
    timeout 120 "$wine_run" "${program:-$exe}" "$@" >/dev/null 2>&1
    echo $? > "$work/$name.code.part"
    date +%s > "$work/$name.end"
    mv "$work/$name.code.part" "$work/$name.code"
  ) &
}

# finish NAME SECONDS: waits that long for the program to end by itself, then
# closes its window as the close box does. Sets $ended (yes/no), $code,
# $elapsed (seconds), $trace and $state.
finish() {
  local name="$1" limit="$2" i
  for ((i = 0; i < limit * 10; i++)); do
    [ -f "$work/$name.code" ] && break
    sleep 0.1
  done
  if [ -f "$work/$name.code" ]; then
    ended=yes
  else
    ended=no
    "$wine_run" "$closer" >/dev/null 2>&1
    for ((i = 0; i < 150; i++)); do
      [ -f "$work/$name.code" ] && break
      sleep 0.1
    done
  fi
  code=$(cat "$work/$name.code" 2>/dev/null || echo none)
  elapsed=$(($(cat "$work/$name.end" 2>/dev/null || date +%s) - $(cat "$work/$name.start")))
  trace="$work/$name.trace"
  state="$work/$name.state"
  touch "$trace" "$state"
}

# run NAME SECONDS BAY ARGS...: launch, then finish.
run() {
  local name="$1" limit="$2"
  shift 2
  launch "$name" "$@"
  finish "$name" "$limit"
}

check() {
  local what="$1"
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
    # Enough of the run to tell a slow machine from a wrong program.
    echo "        (the last run: ended=${ended:-} exit=${code:-} after ${elapsed:-?} s; the end of its trace:)"
    tail -n 4 "${trace:-/dev/null}" | sed 's/^/          /'
  fi
}
has() { grep -q -- "$2" "$1"; }
lacks() { ! grep -q -- "$2" "$1"; }
count() { grep -c -- "$2" "$1"; }
is() { [ "$1" = "$2" ]; }
registry() { "$wine_run" reg query "HKCU\\Software\\Palisko\\Torvane\\$1" /v "$2" 2>/dev/null; }

machine() {  # the machine of the first tests, with a disc or none in its CD drive
  sed "s/@MEDIUM@/$1/" "$here/machine.bay" > "$work/machine-$1.bay"
  echo "$work/machine-$1.bay"
}
with_disc=$(machine cd-rom)
without_disc=$(machine none)
levels="$here/levels.bay"
sample="$root/examples/sample.bay"

# The sample machine's USB disk (HDD2) sleeps, and spins up for IDENTIFY and
# READ CAPACITY: the program starts without sending it either, with the
# window left open on it for one poll, and with a level set on another disk.
launch sleepywindow "$sample" /DRIVE:HDD2
run sampleapm 10 "$sample" /DRIVE:HDD1 /APM:128 /QUIT
check "sample, level on HDD1: ends by itself, exit code 0" is "$ended$code" yes0
check "sample, level on HDD1: the USB disk still sleeps" has "$state" "disk 4 power=standby"
check "sample: no IDENTIFY to the sleeping disk" lacks "$trace" "PhysicalDrive4 SPTD F8002210010000000000A0EC"
check "sample: no READ CAPACITY to the sleeping disk" lacks "$trace" "PhysicalDrive4 SPTD 25"
finish sleepywindow 13
check "sample, window on the sleeping disk: it still sleeps" has "$state" "disk 4 power=standby"
check "sample, window on the sleeping disk: its power mode asked, polled" \
  test "$(count "$trace" 'PhysicalDrive4 SPTD F8002210000000000000A0E5')" -ge 3
check "sample, window on the sleeping disk: no IDENTIFY" lacks "$trace" "PhysicalDrive4 SPTD F800221001"

# A USB bridge that never answers a vendor block it does not know: the
# driver gives up after the block's time-out (a minute; here the machine's
# time runs 10 times faster), discovery goes on, and the window opens.
printf '[system]\ntime_scale = 10\n[disk 0]\nata_paths = ata_pass_through\n[disk 1]\nvendor = USB\nproduct = BRIDGE\nnever_answers = DF F8\n[volume C]\nextents = 0\n' \
  > "$work/silent-bridge.bay"
run silentbridge 14 "$work/silent-bridge.bay"
check "bridge that never answers: one vendor block given up on after 60 s" \
  is "$(grep -c 'PhysicalDrive1 SPTD .* -> timeout=60s' "$trace")" 1
check "bridge that never answers: the window opened and polled its first disk" \
  test "$(count "$trace" 'PhysicalDrive0 ATA 0000000000A0E500')" -ge 2

# A disk reached only through SMART cannot say whether it sleeps: after its
# STANDBY IMMEDIATE it is sent nothing more.
printf '[disk 0]\nata_paths = smart\n[disk 1]\nata_paths = smart\nwakes_on = identify\n[volume C]\nextents = 0\n' \
  > "$work/smart.bay"
run smartstandby 10 "$work/smart.bay" /DRIVE:HDD1 /STANDBY /QUIT
check "SMART standby: ends by itself, exit code 0" is "$ended$code" yes0
check "SMART standby: nothing after STANDBY IMMEDIATE" is "$(sed -n '/PhysicalDrive1 SMART_SEND 0000000000A0E000/,$p' "$trace" | grep -c '^PhysicalDrive1 ')" 1
check "SMART standby: the disk sleeps" has "$state" "disk 1 power=standby"

# Drives named by their serial numbers, in any case; a serial number that
# names no drive, or another drive than /DRIVE:, does nothing and ends.
run serialhdd 10 "$sample" /SERIAL:s246j1rz123456 /APM:200 /QUIT
check "serial, hard drive: ends by itself, exit code 0" is "$ended$code" yes0
check "serial, hard drive: APM 200 reaches PhysicalDrive1" has "$trace" "PhysicalDrive1 SPTD A1060C05C8000000A0EF0000"
run serialodd 10 "$sample" /SERIAL:760x00041977 /STANDBY /QUIT
check "serial, optical drive: ends by itself, exit code 0" is "$ended$code" yes0
check "serial, optical drive: I: is sent to standby" has "$trace" "I: SPTD 1B"
run serialasleep 10 "$sample" /SERIAL:AX-WXE908123456 /AAM:200 /QUIT
check "serial of a disk listed asleep: ends by itself, exit code 0" is "$ended$code" yes0
check "serial of a disk listed asleep: known from its driver, AAM 200 set, then read" is \
  "$(grep -o 'PhysicalDrive4 SPTD F8002210\(010000000000A0EC\|0042C8000000A0EF\)' "$trace" \
     | cut -c29- | uniq | head -n 2 | tr '\n' ' ')" "0042C8000000A0EF 010000000000A0EC "
run serialnone 10 "$sample" /SERIAL:NOSUCHSERIAL /APM:128 /QUIT
check "no such serial: ends by itself, exit code 2" is "$ended$code" yes2
check "no such serial: nothing set" lacks "$trace" "A0EF"
check "no such serial: no disk woken to ask it" has "$state" "disk 4 power=standby"
run serialother 10 "$sample" /SERIAL:S246J1RZ123456 /DRIVE:HDD0 /STANDBY /QUIT
check "serial and another /DRIVE: ends by itself, exit code 2" is "$ended$code" yes2
check "serial and another /DRIVE: no standby" lacks "$trace" "A0E0"

# /SCHEDULE makes a task that runs Torvane with administrator rights, so
# Torvane must lie where only administrators can change it: here a folder
# with a Cyrillic name under C:\Program Files. Wine, as Debian ships it, keeps
# no descriptors (it makes them from the Unix owner and mode, owned by the
# user), so the bay gives those of that folder and the folders above, as
# Windows' own are; Torvane reads them through the system (traced as
# GetSecurityText), and anywhere else it reads Wine's.
safe_dir="$(winepath -u 'C:\Program Files' 2>/dev/null)/Торвейн"
mkdir -p "$safe_dir" && cp "$exe" "$safe_dir/Torvane.exe"
safe_exe="$safe_dir/Torvane.exe"
admin_sample="$work/admin-sample.bay"
cp "$sample" "$admin_sample"
for place in 'C:\' 'C:\Program Files' 'C:\Program Files\Торвейн' 'C:\Program Files\Торвейн\Torvane.exe'; do
  printf '[file]\npath = %s\nsecurity = O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)\n' \
    "$place" >> "$admin_sample"
done

# From there /SCHEDULE carries the settings out and leaves a task run by the
# system (Wine's scheduler keeps only a skeleton of it: its definition is
# judged by the trace); /UNSCHEDULE removes it, drive or no drive.
task="$(winepath -u 'C:\windows\system32\tasks' 2>/dev/null)/Torvane S246J1RZ123456"
program="$safe_exe" run schedule 10 "$admin_sample" /SERIAL:S246J1RZ123456 /AAM:128 /SCHEDULE
check "schedule: ends by itself, exit code 0" is "$ended$code" yes0
check "schedule: AAM 128 set now" has "$trace" "PhysicalDrive1 SPTD A1060C4280000000A0EF0000"
check "schedule: the task is there" test -f "$task"
check "schedule: the program's folder judged by its descriptor" \
  has "$trace" '^CALL GetSecurityText "C:\\Program Files\\Торвейн" -> ok "O:BAD:P'
for part in '<BootTrigger>' '<LogonTrigger>' 'Microsoft-Windows-Power-Troubleshooter&apos;] and EventID=1' \
    'Microsoft-Windows-Kernel-Power&apos;] and EventID=507' '<UserId>S-1-5-18</UserId><RunLevel>HighestAvailable</RunLevel>' \
    '<Arguments>/SERIAL:S246J1RZ123456 /AAM:128 /QUIT</Arguments>' \
    '<Command>C:\\Program Files\\Торвейн\\Torvane.exe</Command>'; do
  check "schedule: the task's definition holds $part" has "$trace" "^TASK REGISTER \"Torvane S246J1RZ123456\" .*$part.* -> ok"
done
run unschedule 10 "$levels" /SERIAL:S246J1RZ123456 /UNSCHEDULE
check "unschedule of a drive not there: ends by itself, exit code 0" is "$ended$code" yes0
check "unschedule of a drive not there: the task is gone" test ! -e "$task"
# The sample's sleeping USB disk: named by the serial number its driver keeps,
# so no disk is woken to learn it, and the standby it asks keeps it asleep.
program="$safe_exe" run scheduleasleep 10 "$admin_sample" /DRIVE:HDD2 /STANDBY /SCHEDULE
check "schedule, sleeping disk: ends by itself, exit code 0" is "$ended$code" yes0
check "schedule, sleeping disk: the task is named by its serial number" \
  has "$trace" '^TASK REGISTER "Torvane AX-WXE908123456" .*<Arguments>/SERIAL:AX-WXE908123456 /STANDBY /QUIT</Arguments>.* -> ok'
check "schedule, sleeping disk: no IDENTIFY" lacks "$trace" "PhysicalDrive4 SPTD F800221001"
check "schedule, sleeping disk: it still sleeps" has "$state" "disk 4 power=standby"
run unscheduleasleep 10 "$sample" /DRIVE:HDD2 /UNSCHEDULE
check "unschedule, sleeping disk: the task of its serial number removed" \
  has "$trace" '^TASK DELETE "Torvane AX-WXE908123456" - -> ok'


# Standby for hard drive 1 of two, then the program closes itself.
run standby 10 "$with_disc" /DRIVE:HDD1 /STANDBY /QUIT
check "standby request ends the program" is "$ended" yes
check "standby request: exit code 0" is "$code" 0
check "STANDBY IMMEDIATE reaches disk 1" has "$trace" "PhysicalDrive1 SPTD A1060C0000000000A0E00000"
check "disk 0 is left alone" lacks "$trace" "PhysicalDrive0 ATA 0000000000A0E000"
check "disk 1 sleeps, and is not woken afterwards" has "$state" "disk 1 power=standby"
check "no IDENTIFY after STANDBY IMMEDIATE" is "$(sed -n '/A1060C0000000000A0E00000/,$p' "$trace" | grep -c 'PhysicalDrive1 SPTD A1080D')" 0

# The same in lower case.
run lower 10 "$with_disc" /drive:hdd1 /standby /quit
check "lower case ends the program" is "$ended" yes
check "lower case reaches disk 1" has "$trace" "PhysicalDrive1 SPTD A1060C0000000000A0E00000"

# Hard drive 2 does not exist: nothing happens and the window stays open;
# closed, the program says what happened.
run nodrive 4 "$with_disc" /DRIVE:HDD2 /STANDBY /QUIT
check "unknown drive leaves the window open" is "$ended" no
check "unknown drive: no standby" lacks "$trace" "A0E00000"
check "unknown drive: exit code 2" is "$code" 2

# /FAST means nothing to a hard drive: the window stays open.
run fast 4 "$with_disc" /DRIVE:HDD0 /FAST /QUIT
check "fast on a hard drive leaves the window open" is "$ended" no
check "fast on a hard drive sends no speed" lacks "$trace" "SPTD BB"
check "fast on a hard drive: exit code 0" is "$code" 0

# Silent for the CD drive with a disc: its speeds are learned first, then
# 704 KB/s is set and stored, and the program ends.
"$wine_run" reg delete 'HKCU\Software\Palisko\Torvane' /f >/dev/null 2>&1
run silent 15 "$with_disc" /DRIVE:ODD0 /SILENT /QUIT
check "silent with a disc ends the program" is "$ended" yes
check "silent: the last speed set is 704 KB/s" is "$(grep 'E: SPTD BB' "$trace" | tail -n 1 | cut -d' ' -f3)" BB0002C00000000000000000
check "silent: the drive reads at 704 KB/s" has "$state" "optical E profile=0008 speed=704 "
check "silent: exit code 0" is "$code" 0
check "the chosen speed is stored" bash -c "'$wine_run' reg query \
  'HKCU\\Software\\Palisko\\Torvane\\ACMEOPT CD-RW CX-48     ' /v 'CD speed' 2>/dev/null | grep -q 0x2c0"

# Without a disc nothing is set, but the program still ends, and says why.
run nodisc 10 "$without_disc" /DRIVE:ODD0 /SILENT /QUIT
check "silent without a disc still ends the program" is "$ended" yes
check "silent without a disc sends no speed" lacks "$trace" "SPTD BB"
check "silent without a disc: exit code 5" is "$code" 5

# The sample machine's DVD writer ignores SET CD SPEED. The first unattended
# Silent learns its speeds, keeps them, and slows it down by SET STREAMING.
dvd_writer='BAYOPT  DVD-RW DR-2160S '
run first 20 "$sample" /DRIVE:ODD0 /SILENT /QUIT
cp "$trace" "$work/first-silent.trace"
check "first silent ends the program" is "$ended" yes
check "first silent: exit code 0" is "$code" 0
check "first silent probes" test "$(count "$trace" 'E: SPTD BB')" -gt 10
check "first silent leaves the writer at its slowest speed" has "$state" "optical E profile=001B speed=2770 "
check "first silent stores the learned list" bash -c "$(declare -f registry); wine_run='$wine_run'; \
  registry '$dvd_writer' 'DVD speed list' | grep -q 'CD 22160,16620,11080,8310,5540,2770'"
check "first silent stores the chosen speed" bash -c "$(declare -f registry); wine_run='$wine_run'; \
  registry '$dvd_writer' 'DVD speed' | grep -q 0xad2"

run second 15 "$sample" /DRIVE:ODD0 /SILENT /QUIT
cp "$trace" "$work/second-silent.trace"
check "second silent ends the program" is "$ended" yes
check "second silent sends no probe" lacks "$trace" "E: SPTD BB"
check "second silent sets the speed once, by streaming" is "$(count "$trace" 'E: SPTD B6')" 1
check "second silent: the same speed" has "$state" "optical E profile=001B speed=2770 "

run fastdvd 15 "$sample" /DRIVE:ODD0 /FAST /QUIT
check "fast: ends by itself, exit code 0" is "$ended$code" yes0
check "fast: the writer at full speed" has "$state" "optical E profile=001B speed=22160 "

# The second sample machine: QEMU's emulated CD drive, which reports one
# speed whatever is set. Its probe learns nothing, which is kept, so the
# second run does not probe again; Silent goes out by the command it takes.
emulated="$root/examples/emulated.bay"
run emulatedfirst 20 "$emulated" /DRIVE:ODD0 /SILENT /QUIT
check "emulated drive: ends by itself, exit code 0" is "$ended$code" yes0
check "emulated drive: Silent set by SET CD SPEED at last" is "$(grep 'D: SPTD BB' "$trace" | tail -n 1 | cut -d' ' -f3)" BB0002C00000000000000000
check "emulated drive: a probe that learned nothing, stored as such" bash -c "$(declare -f registry); \
  wine_run='$wine_run'; registry 'QEMU    QEMU DVD-ROM    ' 'CD speed list' | tr -d '\\r' | grep -q 'REG_SZ *DD *$'"
run emulatedsecond 15 "$emulated" /DRIVE:ODD0 /SILENT /QUIT
check "emulated drive, second run: no probe" is "$(count "$trace" 'D: SPTD BB')" 1

# Levels re-applied from the command line, on a disk that has both.
run levels 10 "$levels" /DRIVE:HDD1 /APM:128 /AAM:OFF /QUIT
check "levels: ends by itself, exit code 0" is "$ended$code" yes0
check "levels: APM 128, AAM off, still awake" has "$state" "disk 1 power=active apm=128 aam=disabled"
check "levels: AAM first, then APM" is "$(grep -o 'A1060C[0-9A-F]*' "$trace" | cut -c7-8 | tr '\n' ' ')" "C2 05 "
run levelsstandby 10 "$levels" /DRIVE:HDD1 /APM:128 /AAM:OFF /STANDBY /QUIT
check "levels and standby: ends by itself, exit code 0" is "$ended$code" yes0
check "levels and standby: asleep at the end" has "$state" "disk 1 power=standby apm=128 aam=disabled"
run levelswindows 10 "$levels" /DRIVE:HDD0 /APM:200 /AAM:OFF /QUIT
check "levels on the Windows disk: ends by itself, exit code 0" is "$ended$code" yes0
check "levels on the Windows disk are set" has "$state" "disk 0 power=active apm=200 aam=disabled"

# The optical drive's timers; and a drive that refuses them (no box for the
# idle timer, as on the page, but the exit code tells).
run timers 10 "$levels" /DRIVE:ODD0 /TIMER-IDLE:0:05:00 /TIMER-STANDBY:OFF /QUIT
check "timers: ends by itself, exit code 0" is "$ended$code" yes0
check "timers: idle 5 minutes, standby off and its value kept" has "$state" "optical E profile=0010 speed=22160 power=active idle=on:3000 standby=off:6000"
run timersrefused 10 "$levels" /DRIVE:ODD1 /TIMER-IDLE:0:05:00 /QUIT
check "timers refused: ends by itself, exit code 3" is "$ended$code" yes3
check "timers refused: the page went out" has "$trace" "G: SPTD 551000000000000014000000"

# Without a bay, the real system is traced in the same format (under Wine:
# its made-up disk).
run real 4 "" /QUIT
check "real system: /QUIT alone leaves the window open" is "$ended" no
check "real system: traced" has "$trace" "PhysicalDrive0 OPEN - len=0 dir=none -> ok"
check "real system: exit code 0" is "$code" 0

# A hard drive's own standby timer: IDLE with the count to a drive that
# spins, STANDBY to one that sleeps, the nearest period the drive can hold
# (kept by its serial number, with what was asked), and in the task.
run timerawake 10 "$sample" /DRIVE:HDD1 /TIMER-STANDBY:0:20:0 /QUIT
check "timer, awake disk: ends by itself, exit code 0" is "$ended$code" yes0
check "timer, awake disk: IDLE with 240" has "$trace" "PhysicalDrive1 SPTD A1060C00F0000000A0E30000"
check "timer, awake disk: the disk holds 20 minutes and still spins" has "$state" "disk 1 power=idle .* timer=1200s"
run timerasleep 10 "$sample" /DRIVE:HDD2 /TIMER-STANDBY:0:20:0 /QUIT
check "timer, sleeping disk: ends by itself, exit code 0" is "$ended$code" yes0
check "timer, sleeping disk: STANDBY with 240" has "$trace" "PhysicalDrive4 SPTD F80022100000F0000000A0E2"
check "timer, sleeping disk: still asleep, holding 20 minutes" has "$state" "disk 4 power=standby .* timer=1200s"
run timernearest 10 "$sample" /DRIVE:HDD1 /TIMER-STANDBY:0:45:0 /QUIT
check "timer, 45 minutes: the nearest, 1 hour (242), sent" has "$trace" "PhysicalDrive1 SPTD A1060C00F2000000A0E30000"
check "timer, 45 minutes: 1 hour kept, with what was asked" bash -c "$(declare -f registry); \
  wine_run='$wine_run'; registry 'Disk S246J1RZ123456' 'Standby timer' | grep -q 'REG_SZ *3600' && \
  registry 'Disk S246J1RZ123456' 'Standby timer asked' | grep -q 'REG_SZ *2700'"
program="$safe_exe" run timertask 10 "$admin_sample" /SERIAL:S246J1RZ123456 /TIMER-STANDBY:0:20:0 /SCHEDULE
check "timer in a task: the task's arguments carry it" \
  has "$trace" '^TASK REGISTER "Torvane S246J1RZ123456" .*<Arguments>/SERIAL:S246J1RZ123456 /TIMER-STANDBY:0:20:00 /QUIT</Arguments>'
# A drive with a timer is not polled: forget them, for the runs after these.
for disk in S246J1RZ123456 AX-WXE908123456; do
  "$wine_run" reg delete "HKCU\\Software\\Palisko\\Torvane\\Disk $disk" /f >/dev/null 2>&1
done

# Runs whose error box nobody sees: under /QUIT it closes itself after 30 s
# and the program ends with the code of what went wrong. They run side by side.
extents=""
for i in $(seq 0 20); do extents="$extents 1:$((1048576 + i * 4096)):4096"; done
printf '[disk 0]\nata_paths = sat12\n[disk 1]\nata_paths = sat12\n[volume C]\nextents = %s 0:1048576:4096\n' \
  "$extents" > "$work/many-extents.bay"
printf '[disk 0]\nwhat = 1\n' > "$work/broken-file.bay"
# Torvane where the user may change it (its build folder): no task, nothing
# done, and a box that says where to put it.
launch unsafe "$sample" /SERIAL:S246J1RZ123456 /AAM:128 /SCHEDULE
launch timerrange "$sample" /DRIVE:HDD1 /TIMER-STANDBY:9:0:0 /QUIT
launch neither "$levels" /DRIVE:HDD2 /APM:128 /AAM:OFF /QUIT
launch neitherstandby "$levels" /DRIVE:HDD2 /APM:128 /AAM:OFF /STANDBY /QUIT
launch windowsstandby "$levels" /DRIVE:HDD0 /APM:128 /AAM:OFF /STANDBY /QUIT
launch refused "$levels" /DRIVE:HDD1 /APM:300 /AAM:OFF /QUIT
launch broken "$work/broken-file.bay" /DRIVE:HDD0 /STANDBY /QUIT
launch extents "$work/many-extents.bay" /DRIVE:HDD0 /STANDBY /QUIT
launch emulatedtimers "$emulated" /DRIVE:ODD0 /TIMER-STANDBY:0:10:00 /QUIT

finish unsafe 75
check "schedule from a folder of the user's: exit code 9" is "$ended$code" yes9
check "schedule from a folder of the user's: no task" lacks "$trace" "TASK REGISTER"
check "schedule from a folder of the user's: nothing set" lacks "$trace" "A0EF"
check "schedule from a folder of the user's: the descriptor judged" has "$trace" '^CALL GetSecurityText ".*Torvane.exe" -> ok "O:'
finish timerrange 10
check "timer of 9 hours: ends by itself, exit code 6" is "$ended$code" yes6
check "timer of 9 hours: nothing sent" lacks "$trace" "A0E3"
finish neither 75
check "neither: ends by itself after its boxes" is "$ended" yes
check "neither: exit code 7" is "$code" 7
check "neither: no SET FEATURES" lacks "$trace" "A0EF"
finish neitherstandby 10
check "neither with standby: ends by itself, exit code 7" is "$ended$code" yes7
check "neither with standby: asleep all the same" has "$state" "disk 2 power=standby"
finish windowsstandby 10
check "Windows disk: ends by itself, exit code 4" is "$ended$code" yes4
check "Windows disk: levels set, standby not" has "$state" "disk 0 power=active apm=128 aam=disabled"
check "Windows disk: no STANDBY IMMEDIATE" lacks "$trace" "A0E000"
finish refused 10
check "refused value: ends by itself, exit code 6" is "$ended$code" yes6
check "refused value: nothing sent" lacks "$trace" "A0EF"
check "refused value: the box closed itself after about 30 s" test "$elapsed" -ge 28 -a "$elapsed" -le 60
finish broken 10
check "broken bay file: ends by itself, exit code 1" is "$ended$code" yes1
finish extents 10
check "22 extents: ends by itself, exit code 4" is "$ended$code" yes4
check "22 extents: no STANDBY IMMEDIATE to the Windows disk" lacks "$trace" "A0E00000"
check "22 extents: the extents asked again, whole" has "$trace" "EXTENTS - len=536 "
finish emulatedtimers 10
check "emulated drive: no timers to set, told and ended" is "$ended$code" yes7
check "emulated drive: no MODE SELECT sent" lacks "$trace" "D: SPTD 55"

if [ -n "${TORVANE_E2E_KEEP:-}" ]; then
  mkdir -p "$TORVANE_E2E_KEEP" && cp "$work"/*.trace "$work"/*.state "$TORVANE_E2E_KEEP"/ 2>/dev/null
fi
rm -rf "$work"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
