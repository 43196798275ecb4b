#!/usr/bin/env bash
# make run: shows the bar under Wine, started in build/run so it reads its
# ini files there. With DISPLAY set it runs on that display until the bar
# is closed; otherwise on an Xvfb of its own, where it saves a screenshot to
# build/run.png and ends what it started. The desktop gets the stand-in
# shell's XP-style taskbar unless a taskbar the bar can find is there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

if [ "${1:-}" != --inside ]; then
  if [ ! -f "$build/bin/marbel.exe" ]; then
    echo "run: $build/bin/marbel.exe is missing; build first" >&2
    exit 1
  fi
  if [ -n "${DISPLAY:-}" ]; then
    RIG_DISPLAY=current exec "$root/tools/wine-rig.sh" "$0" --inside
  fi
  exec "$root/tools/wine-rig.sh" "$0" --inside --screenshot
fi
screenshot=${2:-}

# The stand-in shell builds the taskbar that the reported version calls for.
wine reg add 'HKCU\Software\Wine' /v Version /d winxp /f >/dev/null 2>&1
# Exit code 0 once a top-level window of that class (/descendant class) exists.
probe() { wine "$build/tests/standin_browser.exe" --wait-for "$1" "$2"; }

started=()
end_started() {
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap end_started EXIT

if ! probe Shell_TrayWnd/MSTaskSwWClass 0; then
  wine "$build/tests/standin_shell.exe" toolbar &
  started+=($!)
  probe Shell_TrayWnd/MSTaskSwWClass 10000 || echo "run: the stand-in taskbar did not come up" >&2
fi

mkdir -p "$build/run"
(cd "$build/run" && exec wine "$build/bin/marbel.exe") &
marbel=$!
started+=("$marbel")

if [ -z "$screenshot" ]; then
  echo "run: the bar runs on $DISPLAY; end it with its Close button or its menu's Exit"
  wait "$marbel" || true
  exit 0
fi

probe MARBEL_MANAGER_CLASS 20000 || echo "run: no bar window appeared" >&2
sleep 2  # let it paint
# The Wine desktop window alone; the whole screen when it cannot be found.
import -window "Default - Wine desktop" "$build/run.png" 2>/dev/null ||
  import -window root "$build/run.png"
echo "run: screenshot in $build/run.png"
