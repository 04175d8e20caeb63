#!/usr/bin/env bash
# The download-and-install dialog against the bare fetch, and how quickly an abort takes effect, under Wine
# against the loopback vendor server:
#  - 200 MB through the real dialog (worker thread, a synchronous message per progress mark, the window
#    repainting) and through FetchComponentFile alone (download_bench fetch), alternately, best of the runs;
#    goal: the dialog keeps at least 0.9x the bare fetch's throughput;
#  - Abort pressed and Yes answered during a slow body (200 kB/s): milliseconds from the Yes to the dialog
#    window gone, and to the dialog call returning (the worker stopped or left behind); goal: under 250 ms.
#
#   dialog-bench.sh [WIN_BUILD_DIR] [FIXTURES_DIR]     (WINEPREFIX from the environment)
set -uo pipefail
root_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
win=$(cd "${1:-$root_dir/build/win32}" && pwd)
runs=${BENCH_RUNS:-3}
python=/usr/bin/python3
[ -x "$python" ] || python=python3

for target in dialog_bench download_bench; do
  cmake --build "$win" --target "$target" >/dev/null || exit 1
done
dialog_exe=$(find "$win" -name dialog_bench.exe -print -quit)
fetch_exe=$(find "$win" -name download_bench.exe -print -quit)

work="$win/bench/dialog"
mkdir -p "$work/root"
if [ -d /dev/shm ] && [ "$(df -Pk /dev/shm | awk 'NR==2 {print $4}')" -gt $((1024 * 1024)) ]; then
  out_dir=$(mktemp -d /dev/shm/dialog-bench.XXXXXX)
else
  out_dir="$work/out"
  mkdir -p "$out_dir"
fi
[ -s "$work/root/payload-200M.bin" ] || head -c $((200 * 1024 * 1024)) /dev/urandom > "$work/root/payload-200M.bin"
[ -s "$work/root/slow-20M.bin" ] || head -c $((20 * 1024 * 1024)) "$work/root/payload-200M.bin" > "$work/root/slow-20M.bin"
echo '{"/slow-20M.bin": {"rate": 200000}}' > "$work/faults.json"
rm -f "$work/port"
"$python" "$root_dir/tools/vendor_server.py" --root "$work/root" --port-file "$work/port" \
    --faults "$work/faults.json" </dev/null >"$work/server.out" 2>&1 &
server_pid=$!
trap 'kill -TERM $server_pid 2>/dev/null; wait $server_pid 2>/dev/null; rm -rf "${out_dir:-}"' EXIT
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
url="http://127.0.0.1:$(tr -d '[:space:]' < "$work/port")"

dos() { echo "Z:${1//\//\\}"; }
results="$work/results.txt"
: > "$results"
inner=$(cat <<'IN'
dialog=$1 fetch=$2 url=$3 out=$4 runs=$5 results=$6
for i in $(seq "$runs"); do
  wine "$fetch" fetch "$url/payload-200M.bin" "$out" fetched.bin > "$results.tmp" 2>/dev/null
  echo "fetch $(cat "$results.tmp")" >> "$results"
  wine "$dialog" dialog "$url/payload-200M.bin" "$out" dialog.bin > "$results.tmp" 2>/dev/null
  echo "dialog $(cat "$results.tmp")" >> "$results"
done
for i in $(seq 5); do
  wine "$dialog" abort "$url/slow-20M.bin" "$out" aborted.bin > "$results.tmp" 2>/dev/null
  echo "abort $(cat "$results.tmp")" >> "$results"
done
rm -f "$results.tmp"
IN
)
bash "$root_dir/tools/with-wine.sh" bash -c "$inner" bench "$(dos "$dialog_exe")" "$(dos "$fetch_exe")" "$url" \
    "$(dos "$out_dir")" "$runs" "$results" >"$work/wine.log" 2>&1
cmp -s "$out_dir/dialog.bin" "$work/root/payload-200M.bin" || echo "WARNING: the dialog's file differs from the payload"
[ -e "$out_dir/aborted.bin" ] && echo "WARNING: an aborted download left a final file"
rm -rf "$out_dir"

"$python" - "$results" <<'PY'
import statistics, sys
best, aborts = {}, []
for line in open(sys.argv[1]):
    parts = line.split()
    if parts and parts[0] == "abort" and len(parts) == 3:
        aborts.append((float(parts[1]), float(parts[2])))
        continue
    if len(parts) != 3:
        print("failed run:", line.strip())
        continue
    name, seconds, size = parts[0], float(parts[1]), int(parts[2])
    if name not in best or seconds < best[name][0]:
        best[name] = (seconds, size)
print("download of 200 MB from the loopback vendor server (best run):")
for key, label in (("fetch", "FetchComponentFile alone"), ("dialog", "through the download-and-install dialog")):
    if key in best:
        s, n = best[key]
        print("  %-52s %7.3f s  %8.1f MB/s" % (label, s, n / s / 1e6))
if "fetch" in best and "dialog" in best:
    print("  dialog throughput / bare fetch throughput: %.2fx (goal >= 0.9x)" % (best["fetch"][0] / best["dialog"][0]))
if aborts:
    gone = [a for a, _ in aborts]
    back = [b for _, b in aborts]
    print("abort during a slow body, %d runs: Yes -> dialog window gone median %.0f ms, max %.0f ms (goal < 250 ms);"
          % (len(aborts), statistics.median(gone), max(gone)))
    print("  Yes -> dialog call returned median %.0f ms, max %.0f ms" % (statistics.median(back), max(back)))
PY
