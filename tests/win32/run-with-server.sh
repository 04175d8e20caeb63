#!/usr/bin/env bash
# Runs a command with the loopback vendor server listening, for the tests that download over real HTTP
# (the Makefile runs the whole Wine test run inside it).
#
#   run-with-server.sh COMMAND [ARGS...]
#
# The server serves a fresh scratch tree; the command finds it through the environment:
#   INSTALLER_VENDOR_URL       http://127.0.0.1:<port>
#   INSTALLER_VENDOR_ROOT      the served tree (a Linux path; the test may add files below it)
#   INSTALLER_VENDOR_FAULTS    the fault file the server reads on every request (JSON, initially {})
#   INSTALLER_VENDOR_LOG       the server's request log, one line per request
#   INSTALLER_VENDOR_DEAD_URL  an address on which nothing listens
# The server is stopped (SIGTERM) when the command ends; the command's exit status is returned.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
server="$here/../../tools/vendor_server.py"
python=/usr/bin/python3
[ -x "$python" ] || python=python3

scratch=$(mktemp -d "${TMPDIR:-/tmp}/vendor-server.XXXXXX")
mkdir -p "$scratch/root"
echo '{}' > "$scratch/faults.json"
: > "$scratch/requests.log"

"$python" "$server" --root "$scratch/root" --port 0 --port-file "$scratch/port" --log "$scratch/requests.log" \
    --faults "$scratch/faults.json" </dev/null >"$scratch/server.out" 2>&1 &
server_pid=$!
stop_server() {
  kill -TERM "$server_pid" 2>/dev/null
  for _ in $(seq 50); do kill -0 "$server_pid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$server_pid" 2>/dev/null
  wait "$server_pid" 2>/dev/null
  rm -rf "$scratch"
}
trap stop_server EXIT

for _ in $(seq 100); do
  [ -s "$scratch/port" ] && break
  kill -0 "$server_pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -s "$scratch/port" ]; then
  echo "run-with-server: the vendor server did not start" >&2
  cat "$scratch/server.out" >&2
  exit 1
fi

# A port that was free a moment ago: nothing listens there.
dead_port=$("$python" -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()')

export INSTALLER_VENDOR_URL="http://127.0.0.1:$(tr -d '[:space:]' < "$scratch/port")"
export INSTALLER_VENDOR_ROOT="$scratch/root"
export INSTALLER_VENDOR_FAULTS="$scratch/faults.json"
export INSTALLER_VENDOR_LOG="$scratch/requests.log"
export INSTALLER_VENDOR_DEAD_URL="http://127.0.0.1:$dead_port"

"$@"
