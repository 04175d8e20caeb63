#!/usr/bin/env bash
# Installs everything the two builds and the three test levels need, from Debian's packages.
# Idempotent: on a prepared machine it checks and returns in a fraction of a second.
set -euo pipefail

# The preloaders reserve Windows' fixed addresses (the shared user data page among them) before anything else is
# mapped into a new Wine process. Without them, a process start fails now and then when address randomisation
# has put something there ("failed to map the shared user data", CreateProcess error 1359), most often under load.
PACKAGES=(
  wine wine32:i386 wine64 wine64-preloader wine32-preloader:i386
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64 libz-mingw-w64-dev
  msitools wixl
  xvfb xauth imagemagick x11-utils
  cmake make g++ ccache libgtest-dev googletest libminizip-dev zlib1g-dev
  python3 curl unzip zip dpkg-dev
  clang libclang-rt-14-dev
  qemu-user-static
)

missing() {
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
  done
}

todo=$(missing)
if [ -z "$todo" ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages: $todo" >&2
  echo "install-deps: run as root (or with sudo) to install them" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi

# deb-src lines for the zlib source (minizip) use the machine's own Debian mirror, read off its apt sources.
sources=/etc/apt/sources.list.d/debian.sources
if [ -f "$sources" ]; then
  # The security mirror's i386 index is often caught mid-sync; i386 then comes from bookworm alone.
  python3 - "$sources" <<'PY'
import sys, re
path = sys.argv[1]
text = open(path).read()
stanzas = [s for s in re.split(r'\n\s*\n', text.strip()) if s.strip()]
out = []
mirror = None
for s in stanzas:
    lines = s.splitlines()
    suites = next((l for l in lines if l.startswith('Suites:')), '')
    uris = next((l.split(':', 1)[1].split()[0] for l in lines if l.startswith('URIs:')), None)
    if 'security' in suites:
        if not any(l.startswith('Architectures:') for l in lines):
            lines.append('Architectures: amd64')
    elif mirror is None and uris and re.search(r'\bbookworm\b', suites):
        mirror = uris
    out.append('\n'.join(lines))
if mirror and not any('deb-src' in s for s in out):
    out.append('Types: deb-src\nURIs: %s\nSuites: bookworm\n'
               'Components: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg' % mirror)
new = '\n\n'.join(out) + '\n'
if new != text:
    open(path, 'w').write(new)
PY
elif ! grep -rqs '^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  line=$(grep -hE '^deb .* bookworm( |$)' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | head -n 1 || true)
  if [ -n "$line" ]; then
    echo "deb-src${line#deb}" > /etc/apt/sources.list.d/bookworm-src.list
  fi
fi

apt-get update -q || apt-get update -q
apt-get install -y -q -t bookworm "${PACKAGES[@]}"
