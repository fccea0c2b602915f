#!/bin/bash
# Runs Torvane.exe once for each line of a case list and keeps, for each case,
# its trace, whether it ended by itself, the registry key it writes and, when
# its window stayed open, a screenshot of the window. The host runs the 64-bit
# build with it and the guest the 32-bit one: one runner, so that both sides
# run the same cases the same way.
#
#   run-cases.sh EXE CASE_LIST OUT_DIR
#
# CASE_LIST lines (# starts a comment):  NAME SECONDS BAY [ARGUMENTS...]
#   SECONDS  how long the program may run once a window of it shows before
#            it counts as left open (a slow machine may take long to get
#            there: until then it has two minutes more)
#   BAY      a bay file, relative to the list's folder, or - for the real system
# OUT_DIR gets NAME.trace (the calls the program made, on a bay or on the real
# system), NAME.state (what a bay's drives were left in, when the program
# ended by itself), NAME.reg, NAME.png (window left open) and one line per case
# in results.txt: NAME ended=yes|no exit=CODE start=EPOCH end=EPOCH.
# Environment: WINE (the Wine loader to use), WINEPREFIX, DISPLAY;
# TORVANE_WINDOW_TEXT, the window_text.exe of the program's width: a window
# left open has its text kept in NAME.text; TORVANE_NO_REGISTRY=1: the
# registry key is neither deleted nor read (each costs a Wine program).
set -u
exe=$(realpath "$1")
list=$(realpath "$2")
out="$3"
mkdir -p "$out"
out=$(realpath "$out")
key='HKCU\Software\Palisko\Torvane'
work=$(mktemp -d)
cd "$work"

# The window's own picture: its geometry from the window tree, cut out of
# the screen.
screenshot() {
  local geometry
  geometry=$(xwininfo -root -tree 2>/dev/null | grep '"Torvane' | head -n 1 \
    | grep -oE '[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+ +\+-?[0-9]+\+-?[0-9]+' \
    | sed -E 's/^([0-9]+)x([0-9]+).* \+(-?[0-9]+)\+(-?[0-9]+)$/\1 \2 \3 \4/')
  xwd -root -silent | xwdtopnm 2>/dev/null > "$work/screen.ppm" || return 0
  if [ -n "$geometry" ]; then
    read -r w h x y <<< "$geometry"
    pnmcut -left "$x" -top "$y" -width "$w" -height "$h" "$work/screen.ppm" 2>/dev/null \
      | pnmtopng > "$1" 2>/dev/null
  else
    pnmtopng < "$work/screen.ppm" > "$1" 2>/dev/null
  fi
}

: > "$out/results.txt"
stored=unknown
while read -r name seconds bay args; do
  case "$name" in ''|'#'*) continue ;; esac
  trace="$out/$name.trace"
  state="$out/$name.state"
  rm -f "$trace" "$state" "$out/$name.png"
  # Every case starts from the same settings: what earlier cases learned
  # about a drive would change what this one sends. (Each Wine program costs
  # seconds in the guest: the key is deleted only when it is there.)
  [ "${TORVANE_NO_REGISTRY:-0}" = 1 ] && stored=no
  [ "$stored" = no ] || "$WINE" reg delete "$key" /f >/dev/null 2>&1
  # TORVANE_SIMULATE_TRACE is the older name of TORVANE_TRACE: builds of
  # either age write the trace, and those that know both take one.
  env=(TORVANE_TRACE="$(winepath -w "$trace" 2>/dev/null)"
       TORVANE_SIMULATE_TRACE="$(winepath -w "$trace" 2>/dev/null)"
       TORVANE_SIMULATE_STATE="$(winepath -w "$state" 2>/dev/null)")
  if [ "$bay" = - ]; then
    env=(-u TORVANE_SIMULATE "${env[@]}")
  else
    env+=(TORVANE_SIMULATE="$(winepath -w "$(dirname "$list")/$bay" 2>/dev/null)")
  fi
  start=$(date +%s.%N)
  # shellcheck disable=SC2086  # the arguments are words on purpose
  env "${env[@]}" "$WINE" "$exe" $args >/dev/null 2>&1 &
  program=$!
  ended=no
  deadline=$(( $(date +%s) + seconds + 120 )) shown=no polls=0
  while [ "$(date +%s)" -lt "$deadline" ]; do
    if ! kill -0 "$program" 2>/dev/null; then ended=yes; break; fi
    if [ "$shown" = no ] && [ $((polls++ % 5)) = 0 ] \
        && xwininfo -root -tree 2>/dev/null | grep -q '"Torvane'; then
      shown=yes deadline=$(( $(date +%s) + seconds ))
    fi
    sleep 0.2
  done
  code=-
  if [ $ended = yes ]; then
    wait "$program"; code=$?
  else
    [ -n "${TORVANE_WINDOW_TEXT:-}" ] && "$WINE" "$TORVANE_WINDOW_TEXT" > "$out/$name.text" 2>/dev/null
    screenshot "$out/$name.png"
    kill "$program" 2>/dev/null
    wait "$program" 2>/dev/null
  fi
  end=$(date +%s.%N)
  touch "$trace" "$state"
  stored=yes
  if [ "${TORVANE_NO_REGISTRY:-0}" = 1 ]; then
    echo "(not read)" > "$out/$name.reg"
  else
    "$WINE" reg query "$key" /s > "$out/$name.reg" 2>/dev/null \
      || { stored=no; echo "(no key)" > "$out/$name.reg"; }
  fi
  echo "$name ended=$ended exit=$code start=$start end=$end" | tee -a "$out/results.txt"
done < "$list"
rm -rf "$work"
