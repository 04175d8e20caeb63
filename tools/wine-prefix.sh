#!/usr/bin/env bash
# Creates the Wine prefix in the build tree once (WINEPREFIX and WINEARCH come from the Makefile).
set -euo pipefail
: "${WINEPREFIX:?}"
export WINEARCH=${WINEARCH:-win32} WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# The stamp names the setup below: a prefix made by an older form of it is made again.
ready=2
if [ -f "$WINEPREFIX/system.reg" ] && [ "$(cat "$WINEPREFIX/.prefix-ready" 2>/dev/null)" = "$ready" ]; then
  exit 0
fi
rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
echo "creating the Wine prefix $WINEPREFIX"
# Xvfb has no window manager: a window that Wine lets a manager handle is hidden only after a wait of about
# two seconds for one, which every dialog that closes would pay. Unmanaged windows close at once.
# Wine's default colour for hot-tracked items and links is a light grey that links nearly vanish in; Windows'
# own default is blue.
# "wine wineboot" rather than "wineboot": the latter goes through Debian's script, which prefers the 32-bit
# loader even where it cannot run.
xvfb-run -a sh -c 'wine wineboot --init && wine reg add "HKCU\Software\Wine\X11 Driver" /v Managed /d N /f &&
                 wine reg add "HKCU\Control Panel\Colors" /v HotTrackingColor /d "0 102 204" /f && wineserver -w' \
  </dev/null >"$(dirname "$WINEPREFIX")/wineboot.log" 2>&1
echo "$ready" >"$WINEPREFIX/.prefix-ready"
