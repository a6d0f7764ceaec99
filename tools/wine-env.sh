# Sourced: a private Xvfb and the project's Wine prefix under build/, both stopped on exit.
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX="$root/build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=${QP_LANG:-ru_RU.UTF-8}

qp_display=""
for n in $(seq 90 150); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { qp_display=$n; break; }
done
Xvfb ":$qp_display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
qp_xvfb=$!
export DISPLAY=":$qp_display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

qp_cleanup() {
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  kill "$qp_xvfb" >/dev/null 2>&1 || true
  wait "$qp_xvfb" 2>/dev/null || true
}
trap qp_cleanup EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
  # A program that crashes must end, not wait behind a crash dialog nobody will see.
  /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
fi
/usr/lib/wine/wineserver -p >/dev/null 2>&1  # keep one wineserver up for the whole run
# Start Wine's background services now, detached from our output: started later by a
# test, they would inherit the test runner's pipes and keep it waiting after the test.
/usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1
