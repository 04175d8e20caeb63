#!/usr/bin/env bash
# Extraction speed: the installer's CUnzipper under Wine against Info-ZIP's unzip natively, on an archive
# shaped like an OpenCV build (about 1000 files, about 200 MB: compressible headers, sources and text, and
# incompressible binaries). Best of three runs each; the goal is within 1.5 times unzip's time.
#
#   unzip-bench.sh [WIN_BUILD_DIR]     (WINEPREFIX from the environment)
set -uo pipefail
root_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
win=$(cd "${1:-$root_dir/build/win32}" && pwd)
export WINEPREFIX=${WINEPREFIX:-$root_dir/build/wineprefix}
runs=${BENCH_RUNS:-3}

cmake --build "$win" --target unzip_bench >/dev/null || exit 1
bench_exe=$(find "$win" -name unzip_bench.exe -print -quit)

work="$win/bench/unzip"
mkdir -p "$work"
archive="$work/opencv-like.zip"
if [ ! -s "$archive" ]; then
  echo "building $archive"
  python3 - "$archive" <<'PY' || exit 1
import os, random, sys, zipfile
rng = random.Random(246)
words = [b"cv::Mat", b"template", b"typename", b"const", b"return", b"CV_EXPORTS", b"namespace", b"int",
         b"double", b"std::vector", b"#include", b"void", b"static", b"inline", b"//", b"{", b"}", b";"]
def source(size):
    out = bytearray()
    while len(out) < size:
        out += b" ".join(rng.choice(words) for _ in range(rng.randint(3, 12))) + b"\r\n"
    return bytes(out[:size])
def binary(size):
    # Machine code compresses a little: random bytes with runs of zeros and repeated tables.
    out = bytearray()
    while len(out) < size:
        out += os.urandom(rng.randint(512, 4096))
        out += bytes(rng.randint(64, 1024))
    return bytes(out[:size])
with zipfile.ZipFile(sys.argv[1] + ".part", "w", zipfile.ZIP_DEFLATED) as z:
    n = 0
    for module in range(20):
        mod = "module%02d" % module
        for i in range(30):
            z.writestr("opencv/build/include/opencv2/%s/header%03d.hpp" % (mod, i), source(rng.randint(2000, 60000)))
            n += 1
        for i in range(12):
            z.writestr("opencv/sources/%s/src/file%03d.cpp" % (mod, i), source(rng.randint(10000, 120000)))
            n += 1
        for arch in ("x86", "x64"):
            for kind in ("bin", "lib"):
                z.writestr("opencv/build/%s/vc10/%s/opencv_%s246.%s" % (arch, kind, mod, "dll" if kind == "bin" else "lib"),
                           binary(rng.randint(1500000, 3500000)))
                n += 1
    for i in range(60):
        info = zipfile.ZipInfo("opencv/build/doc/figure%03d.png" % i)
        info.compress_type = zipfile.ZIP_STORED
        z.writestr(info, os.urandom(rng.randint(50000, 400000)))
        n += 1
    for i in range(40):
        z.writestr("opencv/build/python/2.6/cv2_part%02d.pyd" % i, binary(rng.randint(300000, 900000)))
        n += 1
os.replace(sys.argv[1] + ".part", sys.argv[1])
PY
fi
files=$(unzip -Z1 "$archive" | grep -vc '/$')
bytes=$(unzip -Zt "$archive" | sed -E 's/.* ([0-9]+) bytes uncompressed.*/\1/')
echo "archive: $(stat -c %s "$archive") bytes, $files files, $bytes bytes unpacked"

dos() { echo "Z:${1//\//\\}"; }
results="$work/results.txt"
: > "$results"
inner=$(cat <<'IN'
exe=$1 archive=$2 out=$3 outdos=$4 runs=$5 results=$6
for i in $(seq "$runs"); do
  rm -rf "$out"
  start=$(date +%s%N)
  wine "$exe" "$archive" "$outdos" > "$results.tmp" 2>/dev/null
  end=$(date +%s%N)
  echo "cunzipper $(tr -d '\r' < "$results.tmp") $((end - start))" >> "$results"
done
rm -f "$results.tmp"
IN
)
bash "$root_dir/tools/with-wine.sh" bash -c "$inner" bench "$(dos "$bench_exe")" "$(dos "$archive")" \
    "$work/out-wine" "$(dos "$work/out-wine")" "$runs" "$results" >"$work/wine.log" 2>&1

for i in $(seq "$runs"); do
  rm -rf "$work/out-unzip"
  start=$(date +%s%N)
  unzip -o -q "$archive" -d "$work/out-unzip"
  end=$(date +%s%N)
  echo "unzip $((end - start))" >> "$results"
done

diff -rq "$work/out-wine" "$work/out-unzip" >/dev/null || echo "WARNING: the two extractions differ"

python3 - "$results" <<'PY'
import sys
rows = [l.split() for l in open(sys.argv[1]) if l.strip()]
ours = [r for r in rows if r[0] == "cunzipper"]
if not ours or any(len(r) < 4 for r in ours):
    print("CUnzipper run failed:", ours); sys.exit(1)
inside = min(float(r[1]) for r in ours)      # timed inside the program
whole = min(int(r[3]) for r in ours) / 1e9   # including Wine's start of the program
unzip = min(int(r[1]) for r in rows if r[0] == "unzip") / 1e9
print("CUnzipper under Wine: %.2f s extracting (%.2f s with program start), %s files" % (inside, whole, ours[0][2]))
print("unzip -o -q natively:  %.2f s" % unzip)
print("ratio: %.2f (extracting) / %.2f (with program start); goal <= 1.5" % (inside / unzip, whole / unzip))
PY
