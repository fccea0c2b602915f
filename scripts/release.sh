#!/bin/bash
# Makes the Windows release of the last commit: builds the shipping 32-bit
# Torvane.exe and the manual, and writes OUT/Torvane-<version>-win32.zip
# (Torvane.exe, Torvane.pdf, README.txt, LICENSE.txt) and OUT/SHA256SUMS, the
# checksums of the zip and of each file in it. Prints the zip's path last.
#
#   scripts/release.sh [--out OUT]   OUT defaults to dist/
#   scripts/release.sh --check       builds the release twice, in two
#                                    temporary folders, and compares the files
#
# It builds a clean copy of HEAD (git archive), so uncommitted changes never
# reach a release, in $TORVANE_BUILD_DIR/release (default build/release).
# Every date comes from the last commit (SOURCE_DATE_EPOCH): the same commit
# gives the same bytes wherever and whenever it is built. TORVANE_JOBS sets
# the compile jobs (default: one per core). Installs what is missing first
# (scripts/setup.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TORVANE_BUILD_DIR:-$root/build}"
jobs="${TORVANE_JOBS:-$(nproc)}"

fail() { echo "release: $*" >&2; exit 1; }

out="$root/dist"
check=0
while [ $# -gt 0 ]; do
  case $1 in
    --out) [ $# -ge 2 ] || fail "--out needs a folder"; out=$2; shift 2 ;;
    --check) check=1; shift ;;
    *) fail "usage: release.sh [--out DIR] | --check" ;;
  esac
done

"$root/scripts/setup.sh"
git -C "$root" rev-parse -q --verify HEAD >/dev/null || fail "$root is not a git checkout"
git -C "$root" diff --quiet HEAD -- ||
  echo "release: uncommitted changes are left out; this is the last commit" >&2
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct)
# README.txt names it, so that a user knows which commit to rebuild.
commit=$(git -C "$root" rev-parse HEAD)
export SOURCE_DATE_EPOCH LC_ALL=C

# The four files in the zip, in this order.
files=(Torvane.exe Torvane.pdf README.txt LICENSE.txt)

# release WORK OUT: exports HEAD to WORK/src, builds it in WORK, stages the
# files in WORK/zip and packs them into OUT. Sets zip to the zip's path.
release() {
  local work=$1 out=$2 src=$1/src
  rm -rf "$work"
  mkdir -p "$src" "$work/zip" "$out"
  out=$(cd "$out" && pwd)
  git -C "$root" archive --format=tar HEAD | tar -x -C "$src"

  echo "release: building in $work" >&2
  { cmake -S "$src" -B "$work/win32" -G Ninja -DTORVANE_TESTS=OFF \
      -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-win32.cmake" &&
    cmake --build "$work/win32" -j "$jobs"; } >"$work/build.log" 2>&1 ||
    { tail -n 30 "$work/build.log" >&2; fail "the build failed (log: $work/build.log)"; }
  "$src/scripts/build-manual.sh" "$work/manual" >/dev/null

  local exe=$work/win32/app/Torvane.exe stage=$work/zip version
  i686-w64-mingw32-objdump -f "$exe" | grep -q 'file format pei-i386' ||
    fail "$exe is not a 32-bit Windows program"
  grep -q 'level="requireAdministrator"' "$exe" ||
    fail "$exe has no manifest asking for administrator rights"
  version=$(cmake -P "$src/cmake/version.cmake")

  cp "$exe" "$stage/Torvane.exe"
  cp "$work/manual/Torvane.pdf" "$stage/Torvane.pdf"
  # Windows line endings, for Notepad.
  sed "s/@VERSION@/$version/g; s/@COMMIT@/$commit/g; s/\r*\$/\r/" \
    "$src/docs/release/README.txt" >"$stage/README.txt"
  sed 's/\r*$/\r/' "$src/LICENSE" >"$stage/LICENSE.txt"

  zip=$out/Torvane-$version-win32.zip
  # Fixed order, time, mode and compression: nothing of this machine or this
  # moment gets into the zip. Zip times have no zone; the commit's UTC time.
  python3 - "$zip" "$stage" "${files[@]}" <<'EOF'
import os, sys, time, zipfile
path, stage, names = sys.argv[1], sys.argv[2], sys.argv[3:]
stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]
with zipfile.ZipFile(path + ".part", "w") as z:
    for name in names:
        info = zipfile.ZipInfo(name, date_time=stamp)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 3
        info.external_attr = 0o100644 << 16
        with open(os.path.join(stage, name), "rb") as f:
            z.writestr(info, f.read(), compresslevel=9)
os.replace(path + ".part", path)
EOF
  { (cd "$out" && sha256sum "$(basename "$zip")")
    (cd "$stage" && sha256sum "${files[@]}"); } >"$out/SHA256SUMS"
}

if [ "$check" = 0 ]; then
  release "$build/release" "$out"
  cat "$out/SHA256SUMS"
  echo "$zip"
  exit 0
fi

# Two builds in folders of different names and depths, one after the other.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
release "$tmp/a" "$tmp/a/dist"
first=$zip
release "$tmp/second/build-elsewhere" "$tmp/second/dist"
second=$zip
status=0
for name in "${files[@]}" "$(basename "$zip")"; do
  case $name in
    *.zip) a=$first b=$second ;;
    *) a=$tmp/a/zip/$name b=$tmp/second/build-elsewhere/zip/$name ;;
  esac
  sum_a=$(sha256sum <"$a" | cut -d' ' -f1)
  sum_b=$(sha256sum <"$b" | cut -d' ' -f1)
  if cmp -s "$a" "$b"; then verdict=same; else verdict=DIFFERENT; status=1; fi
  printf '%-26s %s %s %s\n' "$name" "$sum_a" "$sum_b" "$verdict"
done
[ "$status" = 0 ] && echo "release: both builds are identical" ||
  echo "release: the builds differ" >&2
exit $status
