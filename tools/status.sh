#!/usr/bin/env bash
# Prints what the installer detects in a Wine prefix: one line per catalogue row of every page (page,
# display name, status), or the same as JSON.
#
#   WINEPREFIX=... tools/status.sh WIN_BUILD_DIR [--json] [--timing] [--32 | --64]
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX to the Wine prefix to inspect}"
winbuild=${1:?usage: status.sh WIN_BUILD_DIR [--json] [--timing] [--32 | --64]}
shift
here=$(cd "$(dirname "$0")" && pwd)
exe="$winbuild/src/InstallationUtils/OrvantaLumetraSDKInstaller/tools/status/installer-status.exe"
if [ ! -f "$exe" ]; then
  echo "status.sh: $exe is missing; build the Windows configuration first (make win32)" >&2
  exit 1
fi
# Wine's output must go to files, never to a pipe its background services could inherit.
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
rc=0
bash "$here/with-wine.sh" wine "$exe" "$@" >"$out/stdout" 2>"$out/stderr" || rc=$?
tr -d '\r' <"$out/stdout"
tr -d '\r' <"$out/stderr" >&2
exit $rc
