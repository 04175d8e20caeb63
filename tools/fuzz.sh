#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz/ with clang (address and undefined-behaviour sanitizers on) and
# runs each for the given number of seconds, one after the other.
#
#   tools/fuzz.sh [SECONDS] [TARGET...]      SECONDS defaults to 600; TARGET names a tests/fuzz/*.cpp (no .cpp)
#
# minizip is compiled from Debian's zlib sources with the same instrumentation, so the fuzzer also steers
# through the archive reader itself. Corpora and crash inputs stay below build/fuzz/; the script exits non-zero
# when any target found a crash.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
shift || true
out="$root/build/fuzz"
mkdir -p "$out"

bash "$root/tools/install-deps.sh"
command -v clang++ >/dev/null || { echo "fuzz: clang++ is missing" >&2; exit 1; }

minizip=$(bash "$root/tools/minizip-source.sh" "$out/_deps")
src="$root/src/InstallationUtils/OrvantaLumetraSDKInstaller"
flags=(-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$src" -I"$root/tests/unit" -I"$minizip")
engine=("$src/platform/IniText.cpp" "$src/platform/Machine.cpp" "$src/platform/fake/FakeMachine.cpp"
        "$src/content/ContentList.cpp" "$src/components/unzip/Unzipper.cpp" "$src/app/CommandLine.cpp"
        "$src/download/Integrity.cpp" "$src/download/Sha256.cpp")

# minizip as C, instrumented the same way (the library's own warnings are not ours).
objects=()
for c in unzip.c ioapi.c; do
  obj="$out/minizip-${c%.c}.o"
  if [ ! -f "$obj" ] || [ "$minizip/$c" -nt "$obj" ]; then
    clang -g -O1 -fsanitize=fuzzer-no-link,address,undefined -w -c "$minizip/$c" -I"$minizip" -o "$obj"
  fi
  objects+=("$obj")
done

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for f in "$root"/tests/fuzz/*.cpp; do targets+=("$(basename "${f%.cpp}")"); done
fi

failed=0
for t in "${targets[@]}"; do
  exe="$out/$t"
  echo "== building $t"
  clang++ "${flags[@]}" "$root/tests/fuzz/$t.cpp" "${engine[@]}" "${objects[@]}" -lz -o "$exe"
  corpus="$out/corpus/$t"
  mkdir -p "$corpus" "$out/crashes/$t"
  echo "== running $t for ${seconds}s"
  if ! (cd "$out/crashes/$t" && "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
          -print_final_stats=1 "$corpus" >"$out/$t.log" 2>&1); then
    echo "!! $t found a problem; see $out/$t.log and $out/crashes/$t/" >&2
    failed=1
  fi
  grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb|Done |#[0-9]+ +DONE)" "$out/$t.log" || true
done
exit $failed
