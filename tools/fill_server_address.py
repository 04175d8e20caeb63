#!/usr/bin/env python3
"""Puts a vendor server's address into the served tree.

The generated vendor tree cannot know the port its server will listen on, so the files that name addresses on
the server itself (the tutorials and resources lists, the upgrade announcement) carry the placeholder
"@SERVER@". This replaces it in every such text file below ROOT and rewrites the checksum file published beside
each changed file, so that the download check still passes.

    fill_server_address.py ROOT ADDRESS
"""
import hashlib
import os
import sys

PLACEHOLDER = b"@SERVER@"
TEXT_ENDINGS = (".txt", ".ini", ".rtf", ".htm", ".html")


def fill(root, address):
    """Returns the paths that were changed."""
    changed = []
    for folder, _, names in os.walk(root):
        for name in names:
            if not name.lower().endswith(TEXT_ENDINGS):
                continue
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                data = f.read()
            if PLACEHOLDER not in data:
                continue
            data = data.replace(PLACEHOLDER, address.encode())
            with open(path, "wb") as f:
                f.write(data)
            if os.path.exists(path + ".sha256"):
                with open(path + ".sha256", "w", newline="\n") as f:
                    f.write("%s  %s\n" % (hashlib.sha256(data).hexdigest(), name))
            changed.append(path)
    return changed


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    fill(sys.argv[1], sys.argv[2])
