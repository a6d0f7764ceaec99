#!/usr/bin/env bash
# Screenshots of the program in Wine's virtual desktop with its shell (tools/shell_shots.py),
# from the win64 build, in a prefix of their own with the shell switched on.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
QP_PREFIX="$root/build/wineprefix-shell" source tools/wine-env.sh
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Explorer' /v EnableShell /t REG_DWORD /d 1 /f >/dev/null 2>&1
/usr/bin/python3 tools/shell_shots.py "$@"
