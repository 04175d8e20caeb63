#!/usr/bin/env bash
# Runs the Wine level in three lanes at once: the Wine integration tests (everything but e2e.*) and the
# end-to-end tests of the real program (e2e.*) split over two lanes (odd and even test numbers), each of which
# also runs one of the two longest Wine integration tests after its own (SLOW_WINE below). Each lane has
# its own prefix (the end-to-end lanes fresh copies of the prepared one), its own wineserver, its own X display
# and its own loopback vendor server, so no lane can see another's registry, files, windows or requests. Most of
# an end-to-end test is waiting for the program, so the lanes share the two cores well.
#
#   wine-lanes.sh BUILD_DIR [CTEST ARGS...]
#
# Each lane's lines are tagged with its name; the exit status is non-zero when any lane failed.
set -uo pipefail
: "${WINEPREFIX:?}"
build=$1
shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)

# The two long profile-reader comparisons are Wine integration tests that run for a minute or more each; the
# end-to-end lanes take one each, which keeps the three lanes about equally long.
SLOW_WINE=(wine.IniDifferential.SeededRandomFiles wine.IniDifferential.AwkwardFiles)

# lane NAME PREFIX EXTRA_TEST CTEST_SELECTION...: the selected tests, then EXTRA_TEST (a full name, or "" for
# none), in one wineserver, X display and vendor server.
lane() {
  local name=$1 prefix=$2 extra=$3
  shift 3
  WINEPREFIX=$prefix bash "$root/tools/with-wine.sh" bash "$root/tests/win32/run-with-server.sh" \
    bash "$root/tools/lane-tests.sh" "$build" "$name" "$extra" "$@" 2>&1 | sed -u "s/^/[$name] /"
  return "${PIPESTATUS[0]}"
}

# CTest lists the Wine tests by asking the test program when it loads the tests (and writes the list into the
# build tree): do it once here, so that the lanes do not each write it at the same time.
bash "$root/tools/with-wine.sh" ctest --test-dir "$build" -N >/dev/null

names=(wine e2e-1 e2e-2)
pids=()
for name in "${names[@]}"; do
  case $name in
    wine)
      slow=$(IFS='|'; echo "${SLOW_WINE[*]//./\\.}")
      lane wine "$WINEPREFIX" "" -E "^e2e\\.|^($slow)\$" "$@" & ;;
    e2e-*)
      prefix="$WINEPREFIX-$name"
      rm -rf "$prefix"
      cp -a "$WINEPREFIX" "$prefix"
      n=${name#e2e-}
      lane "$name" "$prefix" "${SLOW_WINE[$((n - 1))]}" -R '^e2e\.' -I "$n,,2" "$@" & ;;
  esac
  pids+=($!)
  # xvfb-run picks the first free display by its lock file; give each lane's server time to take its own.
  sleep 3
done

status=0
for i in "${!names[@]}"; do
  wait "${pids[$i]}"
  rc=$?
  echo "${names[$i]} lane: exit $rc"
  [ "$rc" -eq 0 ] || status=1
done
exit $status
