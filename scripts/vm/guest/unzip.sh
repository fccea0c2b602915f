#!/bin/bash
# Unpacks a zip into a folder with what the guest has (gzip, od, dd): the
# guest image has no unzip, and adding one would rebuild it. Walks the local
# file headers; a deflated member becomes a gzip stream (its own header, the
# raw deflate data, the zip's CRC-32 and size), so gzip checks the CRC.
# Handles what scripts/release.sh writes: stored or deflated members whose
# sizes are in their local headers.
#
#   unzip.sh ZIP DIR
set -eu
zip="$1" dir="$2"
mkdir -p "$dir"
u16() { od -An -tu2 -j "$1" -N2 "$zip" | tr -d ' '; }
u32() { od -An -tu4 -j "$1" -N4 "$zip" | tr -d ' '; }
offset=0
while [ "$(u32 "$offset")" = 67324752 ]; do  # PK\3\4, a local file header
  flags=$(u16 $((offset + 6))) method=$(u16 $((offset + 8)))
  size=$(u32 $((offset + 18))) name_length=$(u16 $((offset + 26))) extra=$(u16 $((offset + 28)))
  name=$(dd if="$zip" bs=1 skip=$((offset + 30)) count="$name_length" status=none)
  data=$((offset + 30 + name_length + extra))
  [ $((flags & 8)) -eq 0 ] || { echo "unzip.sh: $name: sizes after the data are not handled" >&2; exit 1; }
  case "$name" in /*|*..*) echo "unzip.sh: refusing the name $name" >&2; exit 1 ;; esac
  mkdir -p "$dir/$(dirname "$name")"
  case "$method" in
    0) dd if="$zip" of="$dir/$name" bs=1M iflag=skip_bytes,count_bytes skip="$data" count="$size" status=none ;;
    8) { printf '\037\213\010\000\000\000\000\000\000\377'
         dd if="$zip" bs=1M iflag=skip_bytes,count_bytes skip="$data" count="$size" status=none
         dd if="$zip" bs=1 skip=$((offset + 14)) count=4 status=none    # CRC-32
         dd if="$zip" bs=1 skip=$((offset + 22)) count=4 status=none    # size unpacked
       } | gzip -dc > "$dir/$name" ;;
    *) echo "unzip.sh: $name: compression method $method is not handled" >&2; exit 1 ;;
  esac
  echo "$name"
  offset=$((data + size))
done
[ "$offset" -gt 0 ] || { echo "unzip.sh: $zip holds no file" >&2; exit 1; }
