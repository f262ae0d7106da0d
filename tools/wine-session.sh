#!/bin/bash
# Runs a command inside a throwaway Wine session: a temporary HOME and WINEPREFIX, an
# Xvfb display and one persistent wineserver, all removed afterwards. With VX_WINE_LOGPIXELS
# set (144 for 150 %), the session's display has that scale ("LogPixels"); otherwise 96.
#   tools/wine-session.sh COMMAND [ARGS...]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

session=$(mktemp -d /tmp/vx-wine.XXXXXX)
export VX_WINE_SESSION=$session
export HOME=$session/home
export WINEPREFIX=$session/prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No first-run installers, and no .desktop files written for shortcuts.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$HOME"

xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" >/dev/null 2>&1 || true
  rm -rf "$session"
}
trap cleanup EXIT

display=""
for n in $(seq 91 160); do
  if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then display=$n; break; fi
done
[[ -n "$display" ]] || { echo "wine-session: no free X display" >&2; exit 1; }
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >"$session/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 1 100); do
  [[ -e /tmp/.X11-unix/X$display ]] && break
  sleep 0.05
done

# A persistent server first, so every program of the session reuses it.
mkdir -p "$WINEPREFIX"
wineserver -p
"$VX_WINE" wineboot -i >"$session/wineboot.log" 2>&1
if [[ -n "${VX_WINE_LOGPIXELS:-}" ]]; then
  "$VX_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$VX_WINE_LOGPIXELS" /f \
    >>"$session/wineboot.log" 2>&1
  # A fresh server, so that every program of the session starts at that scale.
  wineserver -k || true
  wineserver -w
  wineserver -p
fi
unset VX_WINE_LOGPIXELS  # a session started inside this one has the default scale again
"$@"
