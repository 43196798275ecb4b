#!/usr/bin/env bash
# Runs a command inside the test desktop: a 32-bit Wine prefix under build/,
# Wine's virtual desktop (no window manager needed), and an Xvfb display of
# our own unless RIG_DISPLAY=current and a display is set. Ends what it started.
# RIG_FRESH=1 first ends the prefix's running Wine session, so the command
# gets a session and desktop of its own that nothing earlier has touched.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wine}
export WINEARCH=win32
export HOME=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs while the prefix is made.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=}
depth=${RIG_DEPTH:-24}

xvfb_pid=
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [ "${RIG_DISPLAY:-}" != current ] || [ -z "${DISPLAY:-}" ]; then
  fifo=$(mktemp -u); mkfifo "$fifo"
  Xvfb -displayfd 5 -screen 0 1280x1024x"$depth" -nolisten tcp 5>"$fifo" 2>/dev/null &
  xvfb_pid=$!
  read -r num < "$fifo"; rm -f "$fifo"
  export DISPLAY=":$num"
fi

# Virtual desktop: create-show-destroy stays fast without a window manager.
# The first process of a session fixes the desktop's mode, so a new prefix
# gets the values and then a session restart before anything runs.
virtual_desktop() {
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
}
if [ ! -f "$WINEPREFIX/.rig-ready" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  virtual_desktop
  wineserver -w
  touch "$WINEPREFIX/.rig-ready"
fi
if [ "${RIG_FRESH:-}" = 1 ]; then
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
fi
virtual_desktop

"$@"
