#!/bin/bash
# Installs, from Debian's packages, whatever the builds and tests need and this
# machine lacks. Safe to run again: it installs nothing when all is present.
set -euo pipefail
# fonts-wine is only recommended by wine: without it caption buttons lose
# their Marlett glyphs and dialogs a user's font.
packages=(cmake ninja-build g++ googletest libgtest-dev libgmock-dev
          g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 fonts-wine xvfb xauth
          x11-apps x11-utils netpbm bc python3 groff ghostscript
          clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
