#!/bin/bash
# Writes run-cases.sh's case list for the command lines of tests/e2e/e2e.sh,
# with the bay files they use copied beside it, so that the virtual machine
# runs what the end-to-end tests run, as they change.
#
#   e2e-cases.sh SOURCE_DIR OUT_DIR > CASES
#
# Reads "run NAME SECONDS BAY ARGS..." and "launch NAME BAY ARGS...". e2e.sh
# starts the launched ones together and waits for each in turn ("finish NAME
# SECONDS"), so each gets the time of its own wait and of those before it.
# BAY is "" (the real system)
# or "$VARIABLE", assigned in e2e.sh as $(machine MEDIUM), "$here/FILE" or
# "$root/FILE". A bay that e2e.sh writes at run time is left out, with a word
# on standard error.
set -eu
root="$1" out="$2"
e2e="$root/tests/e2e/e2e.sh"
mkdir -p "$out"

bay_file() {
  local word="$1" var value file medium
  if [ "$word" = '""' ]; then echo -; return; fi
  var=${word#\"\$}
  var=${var%\"}
  [[ "$var" =~ ^[a-z_]+$ ]] || return 1
  value=$(sed -n "s/^$var=//p" "$e2e" | head -n 1)
  case "$value" in
    '$(machine '*')')
      medium=${value#\$(machine }
      medium=${medium%)}
      file=machine-$medium.bay
      sed "s/@MEDIUM@/$medium/" "$root/tests/e2e/machine.bay" > "$out/$file" ;;
    '"$here/'*'"')
      file=${value#\"\$here/}
      file=${file%\"}
      cp "$root/tests/e2e/$file" "$out/" ;;
    '"$root/'*'"')
      file=${value#\"\$root/}
      file=${file%\"}
      cp "$root/$file" "$out/"
      file=$(basename "$file") ;;
    *) return 1 ;;
  esac
  echo "$file"
}

found=0 waited=0
while read -r verb name rest; do
  case "$verb" in
    run) read -r seconds bay args <<< "$rest" ;;
    launch)
      read -r bay args <<< "$rest"
      waited=$((waited + $(sed -n "s/^finish $name \([0-9]*\).*/\1/p" "$e2e" | head -n 1)))
      seconds=$waited ;;
    *) continue ;;
  esac
  if file=$(bay_file "$bay"); then
    echo "$name $seconds $file $args"
    found=$((found + 1))
  else
    echo "e2e-cases.sh: $name left out: its bay $bay is made by e2e.sh" >&2
  fi
done < <(grep -E '^(run|launch) [a-z0-9]+ ' "$e2e")
[ "$found" -gt 0 ] || { echo "e2e-cases.sh: no cases found in $e2e" >&2; exit 1; }
