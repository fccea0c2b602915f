#!/bin/bash
# Builds the Debian 12 guest that runs the 32-bit Torvane.exe under 32-bit
# Wine, unless it is cached already: a bootable ext4 disk image with the
# guest's kernel and initrd beside it, and a Wine prefix created inside it.
# The cache is ${XDG_CACHE_HOME:-$HOME/.cache}/torvane-vm/KEY/, KEY being a
# hash of the scripts that decide the image. Prints that folder last.
#
#   scripts/vm/build-image.sh [--force]
set -euo pipefail
source "$(dirname "$0")/lib.sh"

image_dir=$(vm_image_dir)
if [ "${1:-}" != --force ] && [ -f "$image_dir/ready" ]; then
  echo "Guest image cached: $image_dir"
  echo "$image_dir"
  exit 0
fi
[ "$(id -u)" -eq 0 ] || { echo "build-image.sh: debootstrap and chroot need root" >&2; exit 1; }

vm_install_host_packages
start=$(vm_now)
work="$image_dir.partial"
rm -rf "$work"
mkdir -p "$work" "$vm_cache_root/debs"
root="$work/root"
timings="$work/timings.txt"
: > "$timings"
stage() { echo "$1 $(vm_since "$2") s" | tee -a "$timings"; }

mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[$i]}" 2>/dev/null || true; done
}
trap cleanup EXIT
bind() { mkdir -p "$root$1"; mount --bind "$2" "$root$1"; mounted+=("$root$1"); }
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
  DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 "$@"; }

echo "== debootstrap ($vm_suite, amd64, minimal base)"
t=$(vm_now)
debootstrap --arch=amd64 --variant=minbase --cache-dir="$vm_cache_root/debs" \
  "$vm_suite" "$root" "$vm_mirror" > "$work/debootstrap.log" 2>&1 \
  || { tail -n 20 "$work/debootstrap.log"; exit 1; }
stage debootstrap "$t"

echo "== guest packages: ${vm_guest_packages[*]}"
t=$(vm_now)
cat > "$root/etc/apt/sources.list" <<SOURCES
deb $vm_mirror $vm_suite main
deb $vm_mirror $vm_suite-updates main
deb http://deb.debian.org/debian-security $vm_suite-security main
SOURCES
# Nothing installed here may start a service in the build machine's chroot.
printf '#!/bin/sh\nexit 101\n' > "$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"
bind /proc /proc
bind /sys /sys
bind /dev /dev
bind /var/cache/apt/archives "$vm_cache_root/debs"
in_root dpkg --add-architecture i386
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends "${vm_guest_packages[@]}" \
  > "$work/packages.log" 2>&1 || { tail -n 30 "$work/packages.log"; exit 1; }
cleanup
mounted=()
stage packages "$t"

echo "== guest set-up and disk image"
t=$(vm_now)
rm -f "$root/usr/sbin/policy-rc.d"
rm -rf "$root"/var/lib/apt/lists/* "$root"/var/cache/apt/*.bin
echo torvane-vm > "$root/etc/hostname"
echo '/dev/vda / ext4 defaults 0 1' > "$root/etc/fstab"
install -m 755 "$vm_here/guest/init" "$root/usr/local/sbin/torvane-guest-init"
cp "$root"/boot/vmlinuz-* "$work/vmlinuz"
cp "$root"/boot/initrd.img-* "$work/initrd.img"
# Room for the Wine prefix and the runs' files on top of what is installed.
used_mb=$(du -sm "$root" | cut -f1)
size_mb=$((used_mb + used_mb / 4 + 1024))
mkfs.ext4 -q -L torvane-root -d "$root" "$work/disk.img" "${size_mb}M"
rm -rf "$root"
echo "installed ${used_mb} MB, disk ${size_mb} MB" | tee -a "$timings"
stage image "$t"

echo "== first boot: the 32-bit Wine prefix (minutes under TCG)"
t=$(vm_now)
boot="$work/prefix-boot"
mkdir -p "$boot"
"$vm_here/run-in-guest.sh" --image "$work" --writable --timeout 1500 --no-cd \
  "$boot" "$vm_here/guest/make-prefix.sh"
stage prefix "$t"

stage total "$start"
touch "$work/ready"
rm -rf "$image_dir"
mv "$work" "$image_dir"
echo "$image_dir"
