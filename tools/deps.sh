#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12, if it is missing.
set -euo pipefail

# The 32-bit build (the release target) runs under Wine's 32-bit half, from i386 packages.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
fi

packages=(cmake make g++ googletest libgtest-dev libbenchmark-dev
          g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
          wine wine64 wine32:i386 xvfb xauth xdotool xclip x11-utils imagemagick locales python3 python3-aiosmtpd
          clang libclang-rt-14-dev chromium curl)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes its code page from the Unix locale: Russian (1251) and English (1252).
need_locale=0
for l in ru_RU.utf8 en_US.utf8; do locale -a 2>/dev/null | grep -qx "$l" || need_locale=1; done
if ((need_locale)); then
  sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo sed -i -E 's/^# *(ru_RU.UTF-8|en_US.UTF-8)/\1/' /etc/locale.gen
  $sudo locale-gen >/dev/null
fi
