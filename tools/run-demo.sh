#!/usr/bin/env bash
# Opens the installer under Wine on the user's display, pointed at the loopback vendor server.
#   run-demo.sh INSTALLER.exe FIXTURES_DIR
set -euo pipefail
exe=${1:?usage: run-demo.sh INSTALLER.exe FIXTURES_DIR}
fixtures=${2:?usage: run-demo.sh INSTALLER.exe FIXTURES_DIR}
here=$(cd "$(dirname "$0")" && pwd)
demo=$(dirname "$WINEPREFIX")/demo
mkdir -p "$demo" "$fixtures/server"
cp -f "$exe" "$demo/"

port_file=$(mktemp)
python3 "$here/vendor_server.py" --root "$fixtures/server" --port 0 --port-file "$port_file" \
  --log "$demo/vendor-server.log" >"$demo/vendor-server.out" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true; rm -f "$port_file"' EXIT
for _ in $(seq 50); do [ -s "$port_file" ] && break; sleep 0.1; done
export ORVANTA_INSTALLER_SERVER="http://127.0.0.1:$(cat "$port_file")"
echo "vendor server: $ORVANTA_INSTALLER_SERVER (serving $fixtures/server)"

if [ -z "${DISPLAY:-}" ]; then
  echo "no DISPLAY: starting the installer on a virtual display (xvfb-run)"
  xvfb-run -a -s '-screen 0 1024x768x24' wine "$demo/$(basename "$exe")" </dev/null >"$demo/wine.log" 2>&1
else
  wine "$demo/$(basename "$exe")" </dev/null >"$demo/wine.log" 2>&1
fi
