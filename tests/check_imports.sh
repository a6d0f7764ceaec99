#!/usr/bin/env bash
# The executable must need only Windows' own DLLs: no C++ runtime or thread library beside it.
# Those of seldom used functions (the open and save dialogs, dial-up, the system's DNS servers,
# TLS and certificates) are loaded when first needed: imported, they would cost every start.
set -euo pipefail
objdump=$1 exe=$2
dlls=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "$exe imports:" $dlls
allowed="kernel32.dll user32.dll gdi32.dll comctl32.dll shell32.dll advapi32.dll ws2_32.dll ole32.dll msvcrt.dll ntdll.dll"
on_first_use="comdlg32.dll wininet.dll iphlpapi.dll secur32.dll crypt32.dll bcrypt.dll"
bad=0
for dll in $dlls; do
  case " $on_first_use " in
    *" $dll "*) echo "imported, though loaded only when first needed: $dll"; bad=1; continue ;;
  esac
  case " $(echo $allowed) " in
    *" $dll "*) continue ;;
  esac
  case $dll in
    api-ms-win-*) ;;
    *) echo "not a system DLL: $dll"; bad=1 ;;
  esac
done
exit $bad
