# Sourced by the scripts that start the shipped 32-bit program where the Makefile made "wine" the 64-bit loader
# (tools/wine64-bin first in PATH, WINELOADER set): undoes both, so that Debian's wine picks the loader by the
# program.
unset WINELOADER
PATH=${PATH#"$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64-bin:"}
