#!/bin/bash
# Builds the user manual: docs/manual/Torvane.ms -> OUTPUT_DIR/Torvane.pdf
# (default build/manual), with groff's ms macros and tbl. groff writes the
# PDF itself (gropdf) and embeds ghostscript's fonts.
#
#   scripts/build-manual.sh [OUTPUT_DIR]
#
# Installs groff, ghostscript and cmake from Debian's packages when they are
# missing (as root, or with sudo). groff runs twice: the first run collects the
# page numbers of the headings for the table of contents, the second prints
# them. The version printed comes from the file VERSION (cmake/version.cmake),
# the PDF's date from the tree's last commit (or SOURCE_DATE_EPOCH), so a
# rebuild of the same commit gives the same file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source_file="$root/docs/manual/Torvane.ms"
out_dir="${1:-$root/build/manual}"

fail() { echo "build-manual: $*" >&2; exit 1; }

[ -f "$source_file" ] || fail "no source: $source_file"

packages=(groff ghostscript cmake)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq || fail "apt-get update failed"
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null || fail "could not install ${missing[*]}"
fi
for tool in groff gropdf tbl cmake; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done

# A fixed date makes the PDF reproducible: the tree's last commit, else the
# file's modification time. The whole tree's, not the manual's own: the
# version it prints lives outside docs/manual.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)
  [ -n "$SOURCE_DATE_EPOCH" ] || SOURCE_DATE_EPOCH=$(stat -c %Y "$source_file")
fi
export SOURCE_DATE_EPOCH
export LC_ALL=C
version=$(cmake -P "$root/cmake/version.cmake") || fail "cannot read the version"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# groff reports problems on standard error but still exits 0; the headings
# also write their contents lines there. Anything else counts as an error.
run_groff() {  # run_groff OUTPUT [groff options]
  local output=$1
  shift
  groff -ms -t -Tpdf -ww -b -dversion="$version" "$@" "$source_file" >"$output" 2>"$work/messages" ||
    { cat "$work/messages" >&2; fail "groff failed"; }
  if grep -v '^\.TOCLINE ' "$work/messages" >"$work/problems"; then
    cat "$work/problems" >&2
    fail "groff reported problems in $source_file"
  fi
}

run_groff "$work/pass1.pdf"
grep '^\.TOCLINE ' "$work/messages" >"$work/toc.ms" || fail "no headings found"
run_groff "$work/pass2.pdf" -dtoc="$work/toc.ms"
# The contents must not have moved any heading to another page.
grep '^\.TOCLINE ' "$work/messages" | cmp -s - "$work/toc.ms" ||
  fail "the table of contents changed the page breaks; shorten the title page"

[ -s "$work/pass2.pdf" ] && head -c 5 "$work/pass2.pdf" | grep -q '^%PDF-' || fail "groff wrote no PDF"
mkdir -p "$out_dir"
cp "$work/pass2.pdf" "$out_dir/Torvane.pdf"
echo "$out_dir/Torvane.pdf"
