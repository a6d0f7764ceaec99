#!/usr/bin/env bash
# Starts the built program under Wine on the current display; with no display, on a
# private Xvfb, saving a screenshot of the main window.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
app="$root/build/win64/app"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  export WINEPREFIX="$root/build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [ -f "$WINEPREFIX/system.reg" ] || /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
  cd "$app" && exec /usr/lib/wine/wine64 quillpost.exe "$@"
fi
source "$root/tools/wine-env.sh"
cd "$app" || exit 1
/usr/lib/wine/wine64 quillpost.exe "$@" &
for _ in $(seq 100); do xdotool search --onlyvisible --name '^Quillpost$' >/dev/null 2>&1 && break; sleep 0.2; done
sleep 1
shot="$root/build/quillpost-main-window.png"
import -window root "$shot"
echo "No display: the program ran on a private Xvfb. Screenshot of the main window: $shot"
