#!/usr/bin/env bash
# Proxy load against the program running under Wine in a private X display.
# Usage: bench/proxy_load.sh [--requests N] [--clients N]   (after `make build`)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/deps.sh"
source "$root/tools/wine-env.sh"
/usr/bin/python3 "$root/bench/proxy_load.py" "$@"
