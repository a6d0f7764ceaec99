#!/usr/bin/env bash
# Says whether Wine can run 32-bit Windows programs here; when it cannot, prints why and
# exits 1. The 32-bit test pass runs only when it can.
if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  echo "Wine's 32-bit half (wine32:i386) is not installed"
  exit 1
fi
if ! out=$(/usr/lib/wine/wine --version 2>&1); then
  echo "the 32-bit Wine loader does not start on this machine: ${out##*: }"
  exit 1
fi
exit 0
