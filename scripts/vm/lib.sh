# Sourced by the scripts in scripts/vm/: the package lists, where the guest
# image is cached, and small helpers they share.

# What the host needs to build and boot the guest, and to run the 64-bit
# build beside it. Nothing here is installed for i386: the host never gets
# that architecture, only the guest does.
vm_host_packages=(debootstrap e2fsprogs qemu-system-x86 genisoimage
                  wine wine64 xvfb xauth x11-utils netpbm bc)

# What the guest gets on top of debootstrap's minimal base. wine32 (from the
# i386 architecture, added inside the guest only) is what runs the shipping
# build; x11-apps, x11-utils and netpbm take the screenshot; fonts-wine gives
# the dialog the fonts users of Wine see.
vm_guest_packages=(linux-image-amd64 kmod procps wine wine32:i386 xvfb xauth
                   x11-apps x11-utils netpbm fonts-wine)

vm_suite=bookworm
vm_mirror=http://deb.debian.org/debian
vm_cache_root="${XDG_CACHE_HOME:-$HOME/.cache}/torvane-vm"

vm_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The image's cache key: a hash of everything that decides what is in it.
vm_image_key() {
  (cd "$vm_here" && cat lib.sh build-image.sh guest/init guest/make-prefix.sh) \
    | sha256sum | cut -c1-16
}

vm_image_dir() { echo "$vm_cache_root/$(vm_image_key)"; }

# Installs the host packages that are missing (as root, or through sudo).
vm_install_host_packages() {
  local missing=() p sudo_cmd=""
  for p in "${vm_host_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing on the host: ${missing[*]}"
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

# Seconds since the epoch, with a fraction, and the time since a mark.
vm_now() { date +%s.%N; }
vm_since() { printf '%.1f' "$(echo "$(vm_now) - $1" | bc)"; }
