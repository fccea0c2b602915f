# Sourced by the scripts that run Windows programs: starts one virtual X
# display and one Wine server for the whole run, and stops both on exit.
# 24-bit depth, so that pixels read back are exactly the colours drawn.
torvane_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

torvane_start_display() {
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1920x1200x24 -nolisten tcp >/dev/null 2>&1 &
  TORVANE_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  torvane_prepare_wine
  trap torvane_stop_display EXIT
}

# Starts the Wine server of the prefix (WINEPREFIX, default the shared one)
# for the whole run, and makes the prefix ready for window tests.
torvane_prepare_wine() {
  export WINEPREFIX="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/torvane-wine}"
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
  mkdir -p "$WINEPREFIX"
  [ -f "$WINEPREFIX/system.reg" ] || echo "Preparing the Wine prefix in $WINEPREFIX (once)..."
  wineserver -p >/dev/null 2>&1 || true
  # Start Wine's own services now, with their output going nowhere: started
  # by the first test program instead, they would inherit its output pipe and
  # keep CTest waiting after the program has ended.
  wineboot >/dev/null 2>&1 || true
  torvane_install_wine_fonts
  # No window manager runs on the virtual display: unmanaged windows spare
  # Wine its two-second wait for one at every window that closes. Run through
  # the one wrapper that finds Wine's 64-bit program: on a fresh machine
  # wine64 is not on PATH.
  "$torvane_scripts/../cmake/wine-run.sh" reg add 'HKCU\Software\Wine\X11 Driver' \
    /v Managed /d N /f >/dev/null 2>&1 ||
    echo "warning: could not set Wine's X11 Managed=N; window tests will be slow" >&2
}

# Wine's own fonts (Marlett for the caption buttons, MS Sans Serif and Tahoma
# for dialogs) come with fonts-wine, but Debian 12's Wine looks for them under
# a path that does not resolve. Fonts in the prefix's C:\windows\Fonts are
# found, so they are copied there once.
torvane_install_wine_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ] || return 0
  [ -f "$fonts/marlett.ttf" ] || cp -n /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
}

torvane_stop_display() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${TORVANE_XVFB_PID:-}" ] && kill "$TORVANE_XVFB_PID" >/dev/null 2>&1 || true
}
