#!/usr/bin/env bash
# Creates the Wine prefix in the build tree once (WINEPREFIX and WINEARCH come from the Makefile).
set -euo pipefail
: "${WINEPREFIX:?}"
export WINEARCH=${WINEARCH:-win32} WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ -f "$WINEPREFIX/system.reg" ] && [ -f "$WINEPREFIX/.prefix-ready" ]; then
  exit 0
fi
rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
echo "creating the Wine prefix $WINEPREFIX"
# Xvfb has no window manager: a window that Wine lets a manager handle is hidden only after a wait of about
# two seconds for one, which every dialog that closes would pay. Unmanaged windows close at once.
# "wine wineboot" rather than "wineboot": the latter goes through Debian's script, which prefers the 32-bit
# loader even where it cannot run.
xvfb-run -a sh -c 'wine wineboot --init && wine reg add "HKCU\Software\Wine\X11 Driver" /v Managed /d N /f && wineserver -w' \
  </dev/null >"$(dirname "$WINEPREFIX")/wineboot.log" 2>&1
touch "$WINEPREFIX/.prefix-ready"
