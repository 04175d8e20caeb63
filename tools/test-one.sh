#!/usr/bin/env bash
# Runs one test of the Wine level by its CTest name, as its lane runs it: in a fresh copy of the lane's prefix,
# with its own wineserver, X display and loopback vendor server (the Makefile's variables say which).
#
#   test-one.sh BUILD_DIR TEST_NAME
#
# e2e32.* run the shipped program in the 32-bit prefix; e2e.* run the main lanes' program, or the shipped file in
# the WOW64 prefix where the main lanes run a 64-bit build and SHIPPED=1 is set.
set -uo pipefail
: "${WINEPREFIX:?}"
build=${1:?usage: test-one.sh BUILD_DIR TEST_NAME}
name=${2:?usage: test-one.sh BUILD_DIR TEST_NAME (make test-one TEST=...)}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
prefix=$WINEPREFIX
shipped=false
case $name in
  e2e32.*)
    prefix=$INSTALLER_WIN32_PREFIX
    build=${INSTALLER_SHIPPED_BUILD:-$build}
    export WINEARCH=win32
    shipped=true ;;
  e2e.*)
    if [ "${SHIPPED:-}" = 1 ] && [ -n "${INSTALLER_SHIPPED_PREFIX:-}" ]; then
      prefix=$INSTALLER_SHIPPED_PREFIX
      build=$INSTALLER_SHIPPED_BUILD
      shipped=true
    fi ;;
esac
rm -rf "$prefix-one"
cp -a "$prefix" "$prefix-one"
echo "test-one: $name of $build in a copy of $prefix"
if $shipped; then
  source "$root/tools/wine32-loader.sh"
fi
WINEPREFIX=$prefix-one bash "$root/tools/with-wine.sh" bash "$root/tests/win32/run-with-server.sh" \
  ctest --test-dir "$build" --output-on-failure --timeout 600 -R "^${name//./\\.}\$"
