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
          clang clang-format libclang-rt-14-dev chromium curl
          libgnutls30)  # Wine's Schannel, the program's TLS, is built on it (only recommended by Wine)
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

# Debian's exim, the strict mail server of the network tests, which start their own in the
# foreground on free ports. Installing it would start the system's daemon on port 25 of
# loopback, where other tests listen: a policy that forbids starting services keeps it down
# during the install (a container may have one already; then it stays as it is), and a daemon
# started all the same, now or before, is stopped and kept from starting at boot.
stop_system_exim() {
  [ -x /etc/init.d/exim4 ] || return 0
  $sudo update-rc.d exim4 disable >/dev/null 2>&1
  if command -v systemctl >/dev/null && [ -d /run/systemd/system ]; then
    $sudo systemctl disable --now exim4 >/dev/null 2>&1
  fi
  # Only the daemon of Debian's own pid file: the tests' servers write none there.
  if [ -f /run/exim4/exim.pid ]; then
    $sudo start-stop-daemon --stop --quiet --oknodo --retry 5 --pidfile /run/exim4/exim.pid --exec /usr/sbin/exim4
    $sudo rm -f /run/exim4/exim.pid
  fi
}
install_exim() {
  local own_policy=0 rc=0
  if ! installed exim4-daemon-light && [ ! -e /usr/sbin/policy-rc.d ]; then
    printf '#!/bin/sh\n# tools/deps.sh: no service starts while it installs packages\nexit 101\n' |
      $sudo tee /usr/sbin/policy-rc.d >/dev/null && $sudo chmod 755 /usr/sbin/policy-rc.d && own_policy=1
    trap '$sudo rm -f /usr/sbin/policy-rc.d' EXIT  # should the install be interrupted
  fi
  install_packages "mail server for the tests, and the certificates of its TLS" exim4-daemon-light openssl || rc=1
  if ((own_policy)); then
    $sudo rm -f /usr/sbin/policy-rc.d
    trap - EXIT
  fi
  stop_system_exim
  return $rc
}
if ! install_exim; then
  echo "error: exim (exim4-daemon-light), the network tests' mail server, could not be installed" >&2
  exit 1
fi

# Its libraries must match the installed 64-bit ones exactly; when the index is out of step
# they cannot, and the 32-bit tests are then reported as not run.
if ! install_packages "32-bit Wine" wine32:i386 libgnutls30:i386; then
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
