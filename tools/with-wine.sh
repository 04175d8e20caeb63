#!/usr/bin/env bash
# Runs a command on a private X display with a persistent wineserver and Wine's services started with
# detached standard streams (a Wine program's output must never be a pipe that Wine's services inherit).
set -uo pipefail
: "${WINEPREFIX:?}"
export WINEARCH=${WINEARCH:-win32} WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
inner=$(cat <<'IN'
wineserver -p 60
wine cmd /c exit </dev/null >/dev/null 2>&1
"$@" </dev/null
rc=$?
wineserver -k
exit $rc
IN
)
exec xvfb-run -a -s '-screen 0 1024x768x24' bash -c "$inner" with-wine "$@"
