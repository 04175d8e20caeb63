#!/usr/bin/env bash
# Download throughput from the loopback vendor server: the installer's fetch under Wine, a bare WinINet loop
# with 64 KiB reads under Wine, and curl natively, on one 200 MB payload (best of three runs each); then the
# fetch with one 1023-byte network read per copy chunk against its default block reads, on 20 MB.
#
#   download-bench.sh [WIN_BUILD_DIR] [FIXTURES_DIR]     (WINEPREFIX from the environment)
set -uo pipefail
root_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
win=$(cd "${1:-$root_dir/build/win32}" && pwd)
export WINEPREFIX=${WINEPREFIX:-$root_dir/build/wineprefix}
runs=${BENCH_RUNS:-5}
python=/usr/bin/python3
[ -x "$python" ] || python=python3

bench_exe=$(find "$win" -name download_bench.exe -print -quit)
if [ -z "$bench_exe" ]; then
  cmake --build "$win" --target download_bench >/dev/null || exit 1
  bench_exe=$(find "$win" -name download_bench.exe -print -quit)
fi

work="$win/bench/download"
mkdir -p "$work/root"
# The copies go to memory when it can hold them, so that disk write-back does not land on one run or another.
if [ -d /dev/shm ] && [ "$(df -Pk /dev/shm | awk 'NR==2 {print $4}')" -gt $((1024 * 1024)) ]; then
  out_dir=$(mktemp -d /dev/shm/download-bench.XXXXXX)
else
  out_dir="$work/out"
  mkdir -p "$out_dir"
fi
[ -s "$work/root/payload-200M.bin" ] || head -c $((200 * 1024 * 1024)) /dev/urandom > "$work/root/payload-200M.bin"
[ -s "$work/root/payload-20M.bin" ] || head -c $((20 * 1024 * 1024)) "$work/root/payload-200M.bin" > "$work/root/payload-20M.bin"
rm -f "$work/port"
"$python" "$root_dir/tools/vendor_server.py" --root "$work/root" --port-file "$work/port" \
    </dev/null >"$work/server.out" 2>&1 &
server_pid=$!
trap 'kill -TERM $server_pid 2>/dev/null; wait $server_pid 2>/dev/null; rm -rf "${out_dir:-}"' EXIT
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
url="http://127.0.0.1:$(tr -d '[:space:]' < "$work/port")"

dos() { echo "Z:${1//\//\\}"; }
results="$work/wine-results.txt"
: > "$results"
inner=$(cat <<'IN'
exe=$1 url=$2 out=$3 runs=$4 results=$5
for i in $(seq "$runs"); do
  wine "$exe" fetch "$url/payload-200M.bin" "$out" fetched.bin > "$results.tmp" 2>/dev/null
  echo "fetch $(cat "$results.tmp")" >> "$results"
  wine "$exe" bare "$url/payload-200M.bin" "$out\\bare.bin" > "$results.tmp" 2>/dev/null
  echo "bare $(cat "$results.tmp")" >> "$results"
done
wine "$exe" fetch "$url/payload-20M.bin" "$out" small64.bin > "$results.tmp" 2>/dev/null
echo "fetch20 $(cat "$results.tmp")" >> "$results"
wine "$exe" fetch "$url/payload-20M.bin" "$out" small1.bin 1 > "$results.tmp" 2>/dev/null
echo "fetch20x1 $(cat "$results.tmp")" >> "$results"
rm -f "$results.tmp"
IN
)
bash "$root_dir/tools/with-wine.sh" bash -c "$inner" bench "$(dos "$bench_exe")" "$url" "$(dos "$out_dir")" "$runs" \
    "$results" >"$work/wine.log" 2>&1

for i in $(seq "$runs"); do
  t=$(curl -s -o "$out_dir/curl.bin" -w '%{time_total}' "$url/payload-200M.bin")
  echo "curl $t $(stat -c %s "$out_dir/curl.bin")" >> "$results"
done

cmp -s "$out_dir/fetched.bin" "$work/root/payload-200M.bin" || echo "WARNING: the fetched file differs from the payload"
cmp -s "$out_dir/small1.bin" "$work/root/payload-20M.bin" || echo "WARNING: the 1023-byte-read fetch differs from the payload"
rm -rf "$out_dir"  # the payloads stay for the next run; the copies are 600 MB

"$python" - "$results" <<'PY'
import sys
best = {}
for line in open(sys.argv[1]):
    parts = line.split()
    if len(parts) != 3:
        print("failed run:", line.strip())
        continue
    name, seconds, size = parts[0], float(parts[1]), int(parts[2])
    if name not in best or seconds < best[name][0]:
        best[name] = (seconds, size)
def row(label, key):
    if key in best:
        s, n = best[key]
        print("  %-52s %7.3f s  %8.1f MB/s" % (label, s, n / s / 1e6))
print("download of 200 MB from the loopback vendor server (best run):")
row("installer fetch under Wine", "fetch")
row("bare WinINet loop, 64 KiB reads, under Wine", "bare")
row("curl -o file, native", "curl")
if "fetch" in best and "bare" in best:
    print("  fetch throughput / bare WinINet throughput: %.2fx (goal >= 0.95x)" % (best["bare"][0] / best["fetch"][0]))
print("20 MB through the installer fetch:")
row("adaptive network reads, up to 256 chunks (default)", "fetch20")
row("one 1023-byte network read per chunk", "fetch20x1")
PY
