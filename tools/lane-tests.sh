#!/usr/bin/env bash
# One lane of the Wine level (see wine-lanes.sh): the tests CTest selects by the given arguments, then one more
# test by its full name, if any. Each run keeps its JUnit report in the build's Testing folder.
#
#   lane-tests.sh BUILD_DIR LANE EXTRA_TEST|"" [CTEST SELECTION...]
set -uo pipefail
build=$1 name=$2 extra=$3
shift 3

ctest --test-dir "$build" --output-on-failure --timeout 300 --output-junit "$build/Testing/$name-lane.xml" "$@"
status=$?
if [ -n "$extra" ]; then
  ctest --test-dir "$build" --output-on-failure --timeout 300 --output-junit "$build/Testing/$name-lane-extra.xml" \
    -R "^${extra//./\\.}\$"
  rc=$?
  [ "$status" -ne 0 ] || status=$rc
fi
exit "$status"
