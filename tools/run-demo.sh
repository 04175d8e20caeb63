#!/usr/bin/env bash
# Opens the installer under Wine on the user's display, pointed at the loopback vendor server, which serves
# the stand-in vendor tree (FIXTURES_DIR/server: every file of the catalogue, with stand-in setups that really
# install).
#
#   run-demo.sh INSTALLER.exe FIXTURES_DIR [DEMO_DIR]
#
# The demo lives in DEMO_DIR (default build/demo) and is kept between runs: its own Wine prefix (prefix/),
# so that what is installed in the demo stays installed next time and never changes what a test sees, and the
# installer's folder (app/) with its downloads. Removing DEMO_DIR ("make demo-clean") starts afresh.
set -euo pipefail
exe=${1:?usage: run-demo.sh INSTALLER.exe FIXTURES_DIR [DEMO_DIR]}
fixtures=${2:?usage: run-demo.sh INSTALLER.exe FIXTURES_DIR [DEMO_DIR]}
here=$(cd "$(dirname "$0")" && pwd)
demo=${3:-$(cd "$here/.." && pwd)/build/demo}
if [ ! -d "$fixtures/server/orvanta" ]; then
  echo "run-demo: $fixtures/server holds no vendor tree (build it with tests/fixtures/generate.sh)" >&2
  exit 1
fi

export WINEPREFIX=$demo/prefix WINEARCH=${WINEARCH:-win32} WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$demo/app"
bash "$here/wine-prefix.sh"
cp -f "$exe" "$demo/app/"

# The server serves a copy of the vendor tree, into which its own address is filled once it listens.
rm -rf "$demo/server"
cp -a "$fixtures/server" "$demo/server"
port_file=$(mktemp)
python3 "$here/vendor_server.py" --root "$demo/server" --port 0 --port-file "$port_file" \
  --log "$demo/vendor-server.log" </dev/null >"$demo/vendor-server.out" 2>&1 &
server=$!
stop() {
  kill "$server" 2>/dev/null || true
  rm -f "$port_file"
  # Let the prefix's programs end so that the registry is written; a program left open is stopped.
  timeout 30 wineserver -w 2>/dev/null || wineserver -k 2>/dev/null || true
}
trap stop EXIT
for _ in $(seq 50); do [ -s "$port_file" ] && break; sleep 0.1; done
if [ ! -s "$port_file" ]; then
  echo "run-demo: the vendor server did not start (see $demo/vendor-server.out)" >&2
  exit 1
fi
export ORVANTA_INSTALLER_SERVER="http://127.0.0.1:$(cat "$port_file")"
python3 "$here/fill_server_address.py" "$demo/server" "$ORVANTA_INSTALLER_SERVER"
echo "vendor server: $ORVANTA_INSTALLER_SERVER (serving a copy of $fixtures/server)"
echo "demo prefix:   $WINEPREFIX (kept; 'make demo-clean' starts afresh)"

program="$demo/app/$(basename "$exe")"
if [ -z "${DISPLAY:-}" ]; then
  echo "no DISPLAY: starting the installer on a virtual display (xvfb-run)"
  xvfb-run -a -s '-screen 0 1024x768x24' wine "$program" </dev/null >"$demo/wine.log" 2>&1
else
  wine "$program" </dev/null >"$demo/wine.log" 2>&1
fi
