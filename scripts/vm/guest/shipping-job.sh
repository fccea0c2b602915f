#!/bin/bash
# Guest job of check-shipping-build.sh: runs the 32-bit Torvane.exe through
# the case lists in in/ (see run-cases.sh), first on the simulated bays, then
# against the emulated CD drives, then against the emulated disks, and leaves
# the results in out/.
#   in/Torvane.zip     the release zip: its Torvane.exe is the one run, as a
#                      user unpacks it (without it, in/Torvane.exe)
#   in/bay-cases.txt   cases on bay files (beside it)
#   in/cd-cases.txt    cases on the real system, run once per CD drive:
#                      the one on AHCI port 1 is empty, the one on port 2
#                      holds a data disc
#   in/disks.txt       the disks, for real-disks.sh
set -u
share=$(pwd)
export WINEPREFIX=/root/.wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINE=wine
stamp() { echo "[$(date +%T)] $*"; }

# The program and its files on the guest's own disk: started from the 9p
# share, a Windows program's code reads as zeros.
rm -rf /root/work
cp -r "$share/in" /root/work
rm -rf "$share/out"
mkdir -p "$share/out"

exe=/root/work/Torvane.exe
if [ -f /root/work/Torvane.zip ]; then
  /root/work/unzip.sh /root/work/Torvane.zip /root/Torvane > "$share/out/zip-files.txt" || exit 1
  exe=/root/Torvane/Torvane.exe
  echo "zip $(sha256sum "$exe" | cut -d' ' -f1)" > "$share/out/program.txt"
  stamp "running Torvane.exe from the release zip ($(tr '\n' ' ' < "$share/out/zip-files.txt"))"
else
  echo "build $(sha256sum "$exe" | cut -d' ' -f1)" > "$share/out/program.txt"
  stamp "no release zip: running the build's Torvane.exe"
fi

Xvfb :1 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
export DISPLAY=:1
# The kernel polls CD drives for media changes; silenced, every command in
# QEMU's trace is one that Wine or the program sent.
for poll in /sys/block/sr*/events_poll_msecs; do echo 0 > "$poll"; done
# The guest's clock against the host's: the host compares this number with
# the time it sees the file written.
date +%s.%N > "$share/out/guest-clock"

t=$(date +%s)
wineserver -p
wineboot
stamp "Wine started in $(($(date +%s) - t)) s"

status=0
stamp "bay cases"
/root/work/run-cases.sh "$exe" /root/work/bay-cases.txt "$share/out/bay" || status=1

# The CD drive on an AHCI port: the controller's ata ports in order are its
# ports 0, 1, 2...
drive_on_port() {
  local ata block
  ata=$(ls -d /sys/bus/pci/drivers/ahci/*/ata* | sort -V | sed -n "$(($1 + 1))p")
  for block in /sys/block/sr*; do
    case "$(readlink -f "$block")" in "$(readlink -f "$ata")"/*) echo "/dev/${block##*/}" ;; esac
  done
}

# One drive letter, D:, for one drive at a time, so that ODD0 is that drive.
# Wine guesses a letter's drive type from the folder it points at, a plain
# folder here: the registry tells it that D: is a CD drive, as winecfg does,
# and as Windows knows of every CD drive's letter.
wine reg add 'HKLM\Software\Wine\Drives' /v d: /d cdrom /f >/dev/null 2>&1
for phase in nodisc:1 disc:2; do
  name=${phase%%:*} port=${phase#*:}
  device=$(drive_on_port "$port")
  [ -n "$device" ] || { stamp "no CD drive on port $port"; status=1; continue; }
  stamp "CD cases, $name ($device)"
  wineserver -k; wineserver -w
  mkdir -p "/media/$name"
  ln -sfn "$device" "$WINEPREFIX/dosdevices/d::"
  ln -sfn "/media/$name" "$WINEPREFIX/dosdevices/d:"
  wineserver -p
  echo "$port $device" > "$share/out/cd-$name.port"
  # What a case stores (the speeds learned from the disc) is not compared
  # here, and reading the registry costs two Wine programs a case.
  TORVANE_NO_REGISTRY=1 /root/work/run-cases.sh "$exe" /root/work/cd-cases.txt "$share/out/cd-$name" || status=1
done
stamp "real disks"
/root/work/real-disks.sh "$exe" /root/work "$share/out/disks" || status=1
wineserver -k
stamp "done"
exit $status
