#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12, if it is missing.
# A package index that cannot be refreshed is a warning: the lists already on the machine
# usually still serve. The 32-bit Wine half is installed on its own, so the rest never
# waits on it; when it cannot be had, tools/wine32-check.sh says why and the 32-bit test
# pass reports itself as not run.
set -uo pipefail

sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

refreshed=0
refresh_index() {  # once per run; a failed refresh is only a warning
  ((refreshed)) && return 0
  refreshed=1
  local log
  log=$(mktemp)
  if ! $sudo apt-get update -qq >"$log" 2>&1; then
    echo "warning: the package index could not be refreshed completely; going on with what is there:" >&2
    sed 's/^/  /' "$log" | tail -n 5 >&2
  fi
  rm -f "$log"
}

missing_of() {  # prints the packages of the arguments that are not installed
  local p
  for p in "$@"; do installed "$p" || echo "$p"; done
}

install_packages() {  # what, packages...; 1 when apt-get failed
  local what=$1; shift
  local missing
  mapfile -t missing < <(missing_of "$@")
  ((${#missing[@]})) || return 0
  echo "Installing ($what): ${missing[*]}"
  refresh_index
  local log
  log=$(mktemp)
  if ! $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >"$log" 2>&1; then
    sed 's/^/  /' "$log" | tail -n 8 >&2
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
}

# The 32-bit build (the release target) runs under Wine's 32-bit half, from i386 packages.
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386

packages=(cmake make g++ googletest libgtest-dev libbenchmark-dev
          g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
          wine wine64 xvfb xauth xdotool xclip x11-utils libx11-dev imagemagick locales python3 python3-aiosmtpd dnsmasq-base
          clang clang-format libclang-rt-14-dev chromium curl)
# "bench": what the benchmark scripts need besides.
for group in "$@"; do
  case $group in
    bench) packages+=(msmtp) ;;
    *) echo "error: unknown package group '$group'" >&2; exit 2 ;;
  esac
done
if ! install_packages "build and test" "${packages[@]}"; then
  echo "error: the packages the build and the tests need could not be installed" >&2
  exit 1
fi

# Its libraries must match the installed 64-bit ones exactly; when the index is out of step
# they cannot, and the 32-bit tests are then reported as not run.
if ! install_packages "32-bit Wine" wine32:i386; then
  echo "warning: Wine's 32-bit half (wine32:i386) could not be installed; the 32-bit build is" \
       "still built and checked, its tests will be reported as not run" >&2
fi

# Wine takes its code page from the Unix locale: Russian (1251) and English (1252).
need_locale=0
for l in ru_RU.utf8 en_US.utf8; do locale -a 2>/dev/null | grep -qx "$l" || need_locale=1; done
if ((need_locale)); then
  $sudo sed -i -E 's/^# *(ru_RU.UTF-8|en_US.UTF-8)/\1/' /etc/locale.gen
  $sudo locale-gen >/dev/null || { echo "error: the locales could not be generated" >&2; exit 1; }
fi
exit 0
