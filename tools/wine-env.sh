# Sourced: a private Xvfb and a Wine prefix under build/, both stopped when the sourcing
# shell exits. QP_PREFIX names the prefix folder (default build/wineprefix): test passes that
# run side by side each take their own, so their registries and wineservers stay apart.
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX="${QP_PREFIX:-$root/build/wineprefix}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=${QP_LANG:-ru_RU.UTF-8}

# Xvfb picks a free display itself and says which, so parallel passes never collide.
qp_display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$qp_display_file" >/dev/null 2>&1 &
qp_xvfb=$!
for _ in $(seq 100); do [ -s "$qp_display_file" ] && break; sleep 0.05; done
export DISPLAY=":$(tr -d '[:space:]' <"$qp_display_file")"
rm -f "$qp_display_file"
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
# Xvfb has no window manager, yet Wine waits up to two seconds on every hide of a window it
# leaves to one. Letting Wine place its windows itself, as Windows does, takes that wait away.
if [ ! -f "$WINEPREFIX/.qp-unmanaged" ]; then
  /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    </dev/null >/dev/null 2>&1 && touch "$WINEPREFIX/.qp-unmanaged"
fi
# Start Wine's background services now, detached from our output: started later by a
# test, they would inherit the test runner's pipes and keep it waiting after the test.
/usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1
