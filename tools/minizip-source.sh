#!/usr/bin/env bash
# Unpacks Debian's zlib source package into the given folder (once) and prints the minizip folder.
# The Windows build compiles minizip's unzip interface from it; nothing of it enters the repository.
set -euo pipefail
dest=${1:?usage: minizip-source.sh FOLDER}
mkdir -p "$dest"
found=$(ls -d "$dest"/zlib-*/contrib/minizip 2>/dev/null | head -n 1 || true)
if [ -z "$found" ]; then
  (cd "$dest" && apt-get source -q zlib >apt-source.log 2>&1) || { cat "$dest/apt-source.log" >&2; exit 1; }
  found=$(ls -d "$dest"/zlib-*/contrib/minizip | head -n 1)
fi
cd "$found" && pwd
