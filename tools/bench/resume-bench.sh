#!/usr/bin/env bash
# A resumed download: 200 MB from the loopback vendor server, cut at 50 % on the first attempt, then fetched
# again by the installer's fetch under Wine. The server counts the body bytes it really sent on each answer;
# the second answer must carry the remainder and nothing more (goal: within 1 %), and its time is set against
# a full download of the same file.
#
#   resume-bench.sh [WIN_BUILD_DIR] [FIXTURES_DIR]     (WINEPREFIX from the environment)
set -uo pipefail
root_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
win=$(cd "${1:-$root_dir/build/win32}" && pwd)
export WINEPREFIX=${WINEPREFIX:-$root_dir/build/wineprefix}
python=/usr/bin/python3
[ -x "$python" ] || python=python3

bench_exe=$(find "$win" -name download_bench.exe -print -quit)
if [ -z "$bench_exe" ]; then
  cmake --build "$win" --target download_bench >/dev/null || exit 1
  bench_exe=$(find "$win" -name download_bench.exe -print -quit)
fi

work="$win/bench/resume"
mkdir -p "$work/root"
size=$((200 * 1024 * 1024))
half=$((size / 2))
payload="$win/bench/download/root/payload-200M.bin"  # shared with download-bench.sh when it is there
if [ ! -s "$payload" ]; then
  payload="$work/root/payload-200M.bin"
  [ -s "$payload" ] || head -c "$size" /dev/urandom > "$payload"
fi
[ "$payload" = "$work/root/payload-200M.bin" ] || ln -sf "$payload" "$work/root/payload-200M.bin"
if [ -d /dev/shm ] && [ "$(df -Pk /dev/shm | awk 'NR==2 {print $4}')" -gt $((700 * 1024)) ]; then
  out_dir=$(mktemp -d /dev/shm/resume-bench.XXXXXX)
else
  out_dir=$(mktemp -d "$work/out.XXXXXX")
fi
: > "$work/bytes.log"
echo "{\"/payload-200M.bin\": {\"cut\": $half}}" > "$work/faults.json"
rm -f "$work/port"
"$python" "$root_dir/tools/vendor_server.py" --root "$work/root" --port-file "$work/port" --faults "$work/faults.json" \
    --bytes-log "$work/bytes.log" </dev/null >"$work/server.out" 2>&1 &
server_pid=$!
trap 'kill -TERM $server_pid 2>/dev/null; wait $server_pid 2>/dev/null; rm -rf "${out_dir:-}"' EXIT
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
url="http://127.0.0.1:$(tr -d '[:space:]' < "$work/port")/payload-200M.bin"

dos() { echo "Z:${1//\//\\}"; }
results="$work/results.txt"
inner=$(cat <<'IN'
exe=$1 url=$2 out=$3 faults=$4 results=$5
wine "$exe" resume "$url" "$out" resumed.bin > "$results.first" 2>/dev/null
echo '{}' > "$faults"
wine "$exe" resume "$url" "$out" resumed.bin > "$results.second" 2>/dev/null
wine "$exe" fetch "$url" "$out" whole.bin > "$results.whole" 2>/dev/null
IN
)
bash "$root_dir/tools/with-wine.sh" bash -c "$inner" bench "$(dos "$bench_exe")" "$url" "$(dos "$out_dir")" \
    "$work/faults.json" "$results" >"$work/wine.log" 2>&1

cmp -s "$out_dir/resumed.bin" "$payload" || echo "WARNING: the resumed file differs from the payload"
"$python" - "$work/bytes.log" "$results" "$size" <<'PY'
import sys
log, results, size = sys.argv[1], sys.argv[2], int(sys.argv[3])
answers = [line.split("\t") for line in open(log).read().splitlines() if line.startswith("/payload-200M.bin\t")]
def read(suffix):
    try:
        return open(results + suffix).read().split()
    except OSError:
        return []
first, second, whole = read(".first"), read(".second"), read(".whole")
if len(answers) < 3 or len(second) != 2:
    print("resume bench failed: answers %s, attempts %s %s" % (answers, first, second))
    sys.exit(1)
sent_first, (status, sent_second) = int(answers[0][2]), (answers[1][1], int(answers[1][2]))
remainder = size - sent_first
ratio = sent_second / remainder if remainder else float("inf")
print("200 MB cut at 50 %, then resumed (installer fetch under Wine):")
print("  first attempt sent %d bytes, second attempt (%s) sent %d bytes; remainder %d" % (sent_first, status, sent_second, remainder))
print("  bytes sent on resume / remainder: %.4f (goal within 1 %% of 1.0)" % ratio)
if len(whole) == 2:
    print("  resumed half: %.3f s; whole file: %.3f s (%.2fx)" % (float(second[0]), float(whole[0]), float(whole[0]) / max(float(second[0]), 1e-6)))
sys.exit(0 if status == "206" and abs(ratio - 1.0) <= 0.01 else 1)
PY
