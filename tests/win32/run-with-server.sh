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
#   INSTALLER_VENDOR_BYTES_LOG the body bytes the server sent per answer (path, status, bytes; tab-separated)
#   INSTALLER_VENDOR_TLS_URL        https://127.0.0.1:<port>, the same tree over TLS, its certificate issued by
#   INSTALLER_VENDOR_TLS_AUTHORITY  this test authority (a DER file made for this run; a test adds it to the
#                                   Wine prefix's trusted roots for as long as it needs it)
#   INSTALLER_VENDOR_UNTRUSTED_URL  https://127.0.0.1:<port>, the same tree over TLS with a certificate from
#                                   an authority nobody trusts (the server sends that authority along, so the
#                                   chain is complete and is refused for its untrusted root alone)
# (the TLS variables only when openssl is at hand)
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
    --faults "$scratch/faults.json" --bytes-log "$scratch/bytes.log" </dev/null >"$scratch/server.out" 2>&1 &
server_pid=$!
: > "$scratch/bytes.log"

# --- TLS servers: a test authority made for this run, one server it vouches for and one it does not -----
tls_pids=()
make_authority() {  # make_authority NAME: NAME.key, NAME.pem (self-signed authority)
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj "/CN=Installer test authority $1" \
      -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
      -keyout "$scratch/tls/$1.key" -out "$scratch/tls/$1.pem" >/dev/null 2>&1
}
# Windows' TLS checks that a server certificate is not revoked: each names where its authority's list of
# revoked certificates lies (an empty list, served by one more plain server).
revocation_list() {  # revocation_list AUTHORITY: crl/AUTHORITY.crl (DER), listing nothing
  mkdir -p "$scratch/tls/ca-$1" "$scratch/tls/crl" && : > "$scratch/tls/ca-$1/index.txt" &&
  echo 01 > "$scratch/tls/ca-$1/crlnumber" &&
  printf '[ca]\ndefault_ca=own\n[own]\ndatabase=%s\ncrlnumber=%s\ndefault_md=sha256\ndefault_crl_days=2\n' \
      "$scratch/tls/ca-$1/index.txt" "$scratch/tls/ca-$1/crlnumber" > "$scratch/tls/ca-$1/ca.cnf" &&
  openssl ca -gencrl -config "$scratch/tls/ca-$1/ca.cnf" -keyfile "$scratch/tls/$1.key" -cert "$scratch/tls/$1.pem" \
      -out "$scratch/tls/ca-$1/crl.pem" >/dev/null 2>&1 &&
  openssl crl -in "$scratch/tls/ca-$1/crl.pem" -outform DER -out "$scratch/tls/crl/$1.crl" >/dev/null 2>&1
}
issue_server_certificate() {  # issue_server_certificate AUTHORITY NAME: NAME.key, NAME.pem for 127.0.0.1
  openssl req -new -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj "/CN=127.0.0.1" \
      -keyout "$scratch/tls/$2.key" -out "$scratch/tls/$2.csr" >/dev/null 2>&1 &&
  printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=serverAuth\ncrlDistributionPoints=URI:%s/%s.crl\n' \
      "$crl_url" "$1" > "$scratch/tls/$2.ext" &&
  openssl x509 -req -in "$scratch/tls/$2.csr" -CA "$scratch/tls/$1.pem" -CAkey "$scratch/tls/$1.key" \
      -CAcreateserial -days 2 -extfile "$scratch/tls/$2.ext" -out "$scratch/tls/$2.pem" >/dev/null 2>&1
}
start_tls_server() {  # start_tls_server NAME: serves the tree with NAME.pem/NAME.key, port in NAME.port
  "$python" "$server" --root "$scratch/root" --port 0 --port-file "$scratch/tls/$1.port" \
      --log "$scratch/requests.log" --faults "$scratch/faults.json" --bytes-log "$scratch/bytes.log" \
      --tls-cert "$scratch/tls/$1.pem" --tls-key "$scratch/tls/$1.key" </dev/null >"$scratch/tls/$1.out" 2>&1 &
  tls_pids+=($!)
}
if command -v openssl >/dev/null 2>&1; then
  mkdir -p "$scratch/tls/crl"
  "$python" "$server" --root "$scratch/tls/crl" --port 0 --port-file "$scratch/tls/crl.port" --log "$scratch/tls/crl.log" </dev/null \
      >"$scratch/tls/crl.out" 2>&1 &
  tls_pids+=($!)
  for _ in $(seq 100); do [ -s "$scratch/tls/crl.port" ] && break; sleep 0.1; done
  crl_url="http://127.0.0.1:$(tr -d '[:space:]' < "$scratch/tls/crl.port" 2>/dev/null)"
  if [ -s "$scratch/tls/crl.port" ] && make_authority trusted && make_authority stranger &&
     revocation_list trusted && revocation_list stranger && issue_server_certificate trusted server &&
     issue_server_certificate stranger untrusted &&
     cat "$scratch/tls/stranger.pem" >> "$scratch/tls/untrusted.pem" &&
     openssl x509 -in "$scratch/tls/trusted.pem" -outform DER -out "$scratch/tls/authority.der" 2>/dev/null; then
    start_tls_server server
    start_tls_server untrusted
  fi
fi
# --- end of TLS servers ---------------------------------------------------------------------------------

stop_server() {
  kill -TERM "$server_pid" ${tls_pids[@]+"${tls_pids[@]}"} 2>/dev/null
  for _ in $(seq 50); do kill -0 "$server_pid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$server_pid" ${tls_pids[@]+"${tls_pids[@]}"} 2>/dev/null
  wait "$server_pid" ${tls_pids[@]+"${tls_pids[@]}"} 2>/dev/null
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
export INSTALLER_VENDOR_BYTES_LOG="$scratch/bytes.log"
if [ ${#tls_pids[@]} -eq 3 ]; then
  for _ in $(seq 100); do
    [ -s "$scratch/tls/server.port" ] && [ -s "$scratch/tls/untrusted.port" ] && break
    sleep 0.1
  done
  if [ -s "$scratch/tls/server.port" ] && [ -s "$scratch/tls/untrusted.port" ]; then
    export INSTALLER_VENDOR_TLS_URL="https://127.0.0.1:$(tr -d '[:space:]' < "$scratch/tls/server.port")"
    export INSTALLER_VENDOR_TLS_AUTHORITY="$scratch/tls/authority.der"
    export INSTALLER_VENDOR_UNTRUSTED_URL="https://127.0.0.1:$(tr -d '[:space:]' < "$scratch/tls/untrusted.port")"
  fi
fi

"$@"
