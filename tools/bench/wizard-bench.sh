#!/usr/bin/env bash
# The wizard under Wine, on the detection benchmark's machine (300 extra Windows Installer products, the stand-in
# Runtime, Python and modules):
#  - start: milliseconds from the program's process creation to its first page painted (the run log's
#    "Wizard shown" line, which the program measures itself); goal: under 2 s;
#  - page switch: each page's activation with every row refreshed (the run log's "activated in" lines), against
#    the same page's bare refresh (installer-status --timing, the engine alone) and against the floor, one
#    enumeration of every Windows Installer product; goal: a page switch within 1.1x of the work it must do.
#
#   wizard-bench.sh [WIN_BUILD_DIR] [FIXTURES_DIR]     (WINEPREFIX from the environment)
set -uo pipefail
root_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
win=$(cd "${1:-$root_dir/build/win32}" && pwd)
runs=${BENCH_RUNS:-3}
base_prefix=${WINEPREFIX:-$root_dir/build/wineprefix}
export WINEPREFIX="$base_prefix.detection-bench"
if [ ! -d "$WINEPREFIX" ]; then
  bash "$root_dir/tools/bench/detection-bench.sh" "$win" "${2:-}" >/dev/null || exit 1
fi
cmake --build "$win" --target installer WizardDriver >/dev/null || exit 1
exe=$(find "$win/src" -name 'OrvantaLumetraSDK_10_2_1_578_Installer_140411.exe' -print -quit)
driver=$(find "$win" -name WizardDriver.exe -print -quit)
work="$win/bench/wizard"
rm -rf "$work"; mkdir -p "$work/app"
cp "$exe" "$work/app/"

inner=$(cat <<'IN'
exe=$1 driver=$2 runs=$3 logs=$4
title="Orvanta Lumetra SDK Version X 10.2.1.578 Installer"
program="OrvantaLumetraSDK_10_2_1_578_Installer_140411"  # the caption of the program's own message boxes
caption() { wine "$driver" caption sheet 5000 | tr -d '\r'; }
click() { wine "$driver" click "$(caption)" "$1" sheet >/dev/null; }
# A page may explain something while it opens or before it lets the wizard move on: acknowledged, as a
# person would, and the wait is bounded.
turn() {
  before=$(caption); click "$1"
  for _ in $(seq 200); do
    [ "$(caption)" != "$before" ] && return 0
    for box in "$title" "$program"; do
      [ "$(wine "$driver" count "$box" messagebox | tr -d '\r')" != 0 ] && wine "$driver" answer "$box" 1 >/dev/null
    done
    sleep 0.05
  done
}
for run in $(seq "$runs"); do
  rm -rf "$logs"; mkdir -p "$logs"
  ORVANTA_INSTALLER_SERVER=http://127.0.0.1:9 timeout 180 wine "$exe" >/dev/null 2>&1 &
  for _ in $(seq 600); do grep -qs "Wizard shown" "$logs"/*.log && break; sleep 0.1; done
  # Every page activated once: the navigation buttons and Back never install anything.
  turn Modules
  for _ in 1 2 3 4; do turn 0x3024; done
  for _ in 1 2 3 4 5 6 7 8 9 10 11; do turn 0x3023; done
  click Home
  sleep 1
  # A warning a page showed once it was on screen may still be open: answered, then the wizard is closed.
  for _ in 1 2 3 4 5; do
    for box in "$title" "$program"; do
      [ "$(wine "$driver" count "$box" messagebox | tr -d '\r')" != 0 ] && wine "$driver" answer "$box" 1 >/dev/null
    done
    wine "$driver" close "$(caption)" sheet >/dev/null || break
    sleep 1
    jobs -r | grep -q . || break
  done
  wait
  cat "$logs"/*.log > "$logs/../run-$run.txt"
done
IN
)
bash "$root_dir/tools/with-wine.sh" bash -c "$inner" bench "$work/app/$(basename "$exe")" "$driver" "$runs" \
    "$work/app/_OrvantaInstallData/Logs" >/dev/null 2>&1

# The bare refresh of each page, from the detection benchmark's runs when it has run.
bare="$win/bench/detection/runs"
cat "$work/app/_OrvantaInstallData"/run-*.txt 2>/dev/null | tr -d '\r' | awk -v bare="$(cat "$bare"/timing-*.txt 2>/dev/null | tr -d '\r' | grep '^refresh' | grep -v 'all pages' | awk '{print $2, $5}' | tr '\n' ';')" '
  BEGIN {
    n = split(bare, entries, ";")
    for (i = 1; i <= n; i++) if (split(entries[i], f, " ") == 2 && (!(f[1] in floorOf) || f[2] < floorOf[f[1]])) floorOf[f[1]] = f[2]
    # The status tool names the second prerequisites page apart.
    alias["Prerequisites (Prerequisite Installation Status)"] = "PrerequisitesStatus"
  }
  /Wizard shown/ { for (i = 1; i <= NF; i++) if ($i == "shown") { ms = $(i + 1); starts[++s] = ms } }
  /activated in/ {
    line = $0; sub(/^.*Page /, "", line); name = line; sub(/ activated in .*/, "", name)
    ms = line; sub(/^.* activated in /, "", ms); sub(/ ms.*/, "", ms)
    if (!(name in best) || ms + 0 < best[name]) best[name] = ms + 0
    if (!(name in order)) order[name] = k++
  }
  END {
    for (i = 2; i <= s; i++) { v = starts[i]; for (j = i - 1; j >= 1 && starts[j] > v; j--) starts[j + 1] = starts[j]; starts[j + 1] = v }
    printf "start to the first page painted (ms, %d runs): best %d, median %d (goal: under 2000: %s)\n", s, starts[1], starts[int((s + 1) / 2)], starts[int((s + 1) / 2)] < 2000 ? "met" : "missed"
    print "page activation with every row refreshed (best, ms) / the same refresh by the engine alone (ms):"
    worst = 0
    for (p in best) {
      key = p; sub(/ \(.*/, "", key); if (p in alias) key = alias[p]
      ratio = (key in floorOf && floorOf[key] > 0) ? sprintf("%.2fx", best[p] / floorOf[key]) : "-"
      lines[order[p]] = sprintf("  %-62s %8.1f %8s  %s", p, best[p], (key in floorOf) ? floorOf[key] : "-", ratio)
      if ((key in floorOf) && floorOf[key] >= 50 && best[p] / floorOf[key] > worst) { worst = best[p] / floorOf[key]; slow = p }
    }
    for (i = 0; i < k; i++) print lines[i]
    if (worst > 0) printf "pages whose refresh is real work (>= 50 ms): worst ratio %.2fx on %s (goal: within 1.1x: %s)\n", worst, slow, worst <= 1.1 ? "met" : "missed"
  }'
tr -d '\r' < "$bare/enum.txt" 2>/dev/null | sed 's/^/floor: /'
