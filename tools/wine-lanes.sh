#!/usr/bin/env bash
# Runs the Wine level in lanes at once: the Wine integration tests (everything but e2e.* and e2e32.*) and the
# end-to-end tests of the real program (e2e.*) split over two lanes (odd and even test numbers), each of which
# also runs one of the two longest Wine integration tests after its own (SLOW_WINE below). Each lane has
# its own prefix (the end-to-end lanes fresh copies of the prepared one), its own wineserver, its own X display
# and its own loopback vendor server, so no lane can see another's registry, files, windows or requests. Most of
# an end-to-end test is waiting for the program, so the lanes share the two cores well.
#
# Two more lanes run the shipped 32-bit program where the main lanes do not (the Makefile says which):
#   win32    the 32-bit prefix pass (e2e32.*) in INSTALLER_WIN32_PREFIX, beside the main lanes where 32-bit code
#            runs natively (under emulation SHIPPED_WIN32_TESTS of it);
#   shipped  where qemu emulates 32-bit code (the main lanes then run a 64-bit build): SHIPPED_TESTS of
#            INSTALLER_SHIPPED_BUILD in INSTALLER_SHIPPED_PREFIX (WOW64), after the main lanes and beside the
#            win32 lane, so that no more than two emulated programs run at a time.
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

# What the shipped program does under emulation: start and single instance, the command line (status, a
# download that fails cleanly, a repair and its log), the removal of 64-bit products from their keys in the
# 64-bit view, a row's buttons in the wizard, the executable check; in the 32-bit prefix, the repair. These are
# the tests that qemu runs reliably: qemu 7.2 hands Wine's 32-bit fault handler a signal context without its
# trap number ("segv_handler Got unexpected trap -1"), so a fault Wine would resolve (a thread's stack growing
# into its guard page) becomes a crash, and the tests whose threads go deeper fail now and then under
# emulation alone (the same runs pass on the 64-bit build and at other folder depths).
SHIPPED_TESTS=(SecondInstanceIsRefused CommandLineStatusIsOneJsonDocument CommandLineFailsWhenTheServerIsDown
               CommandLineRepairPutsABrokenRowRightAndLogsIt CommandLineRemovesA64BitProductFromItsKeyInThe64BitView
               WizardRowButtonsInstallAndRemoveAUtility ProgramIsStandalone32BitGuiExecutable)
SHIPPED_WIN32_TESTS=(CommandLineRepairPutsABrokenRowRightAndLogsIt)

# lane NAME PREFIX BUILD EXTRA_TEST CTEST_SELECTION...: the selected tests of BUILD, then EXTRA_TEST (a full name,
# or "" for none), in one wineserver, X display and vendor server.
lane() {
  local name=$1 prefix=$2 lane_build=$3 extra=$4
  shift 4
  WINEPREFIX=$prefix bash "$root/tools/with-wine.sh" bash "$root/tests/win32/run-with-server.sh" \
    bash "$root/tools/lane-tests.sh" "$lane_build" "$name" "$extra" "$@" 2>&1 | sed -u "s/^/[$name] /"
  return "${PIPESTATUS[0]}"
}

# A fresh copy of a prepared prefix for one lane.
lane_prefix() {
  rm -rf "$2"
  cp -a "$1" "$2"
}

# The 32-bit program's lanes start it with Debian's wine, which picks the loader by the program (the main lanes
# may be told to use the 64-bit one).
shipped_lane() {
  (
    source "$root/tools/wine32-loader.sh"
    "$@"
  )
}

# CTest lists the Wine tests by asking the test program when it loads the tests (and writes the list into the
# build tree): do it once here, so that the lanes do not each write it at the same time.
bash "$root/tools/with-wine.sh" ctest --test-dir "$build" -N >/dev/null

names=()
pids=()
start() {  # start NAME: the lane NAME in the background
  local name=$1 n
  shift
  case $name in
    wine)
      slow=$(IFS='|'; echo "${SLOW_WINE[*]//./\\.}")
      lane wine "$WINEPREFIX" "$build" "" -E "^e2e(32)?\\.|^($slow)\$" "$@" & ;;
    e2e-*)
      lane_prefix "$WINEPREFIX" "$WINEPREFIX-$name"
      n=${name#e2e-}
      lane "$name" "$WINEPREFIX-$name" "$build" "${SLOW_WINE[$((n - 1))]}" -R '^e2e\.' -I "$n,,2" "$@" & ;;
    win32)
      lane_prefix "$INSTALLER_WIN32_PREFIX" "$INSTALLER_WIN32_PREFIX-lane"
      selection='^e2e32\.'
      if [ -n "${INSTALLER_SHIPPED_BUILD:-}" ]; then
        selection=$(IFS='|'; echo "^e2e32\\.(${SHIPPED_WIN32_TESTS[*]})\$")
      fi
      WINEARCH=win32 shipped_lane lane win32 "$INSTALLER_WIN32_PREFIX-lane" "${INSTALLER_SHIPPED_BUILD:-$build}" "" \
        -R "$selection" "$@" & ;;
    shipped)
      lane_prefix "$INSTALLER_SHIPPED_PREFIX" "$INSTALLER_SHIPPED_PREFIX-lane"
      selection=$(IFS='|'; echo "^e2e\\.(${SHIPPED_TESTS[*]})\$")
      shipped_lane lane shipped "$INSTALLER_SHIPPED_PREFIX-lane" "$INSTALLER_SHIPPED_BUILD" "" -R "$selection" "$@" & ;;
  esac
  names+=("$name")
  pids+=($!)
  # xvfb-run picks the first free display by its lock file; give each lane's server time to take its own.
  sleep 3
}

status=0
finish() {  # waits for every lane started so far
  local i rc
  for i in "${!names[@]}"; do
    wait "${pids[$i]}"
    rc=$?
    echo "${names[$i]} lane: exit $rc"
    [ "$rc" -eq 0 ] || status=1
  done
  names=()
  pids=()
}

start wine "$@"
start e2e-1 "$@"
start e2e-2 "$@"
if [ -n "${INSTALLER_SHIPPED_PREFIX:-}" ]; then
  # Emulated: the shipped program after the main lanes, two lanes at a time.
  SECONDS=0
  finish
  echo "main lanes: ${SECONDS} s"
  SECONDS=0
  WINEPREFIX=$INSTALLER_SHIPPED_PREFIX shipped_lane bash "$root/tools/with-wine.sh" \
    ctest --test-dir "$INSTALLER_SHIPPED_BUILD" -N >/dev/null
  start shipped "$@"
  start win32 "$@"
  finish
  echo "shipped program lanes: ${SECONDS} s"
elif [ -n "${INSTALLER_WIN32_PREFIX:-}" ]; then
  start win32 "$@"
fi
finish
exit $status
