#!/usr/bin/env bash
# Creates the 32-bit Wine prefix in the build tree once (WINEPREFIX comes from the Makefile).
set -euo pipefail
: "${WINEPREFIX:?}"
export WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ -f "$WINEPREFIX/system.reg" ] && [ -f "$WINEPREFIX/.prefix-ready" ]; then
  exit 0
fi
rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
echo "creating the Wine prefix $WINEPREFIX"
xvfb-run -a sh -c 'wineboot --init && wineserver -w' </dev/null >"$(dirname "$WINEPREFIX")/wineboot.log" 2>&1
touch "$WINEPREFIX/.prefix-ready"
