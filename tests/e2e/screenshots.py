#!/usr/bin/env python3
"""Pictures of every wizard page and of the progress dialogs, for a person to look at.

    screenshots.py OUTDIR --exe INSTALLER.exe --driver WizardDriver.exe --work DIR

Runs inside tools/with-wine.sh and tests/win32/run-with-server.sh, in a prefix of its own: it installs stand-ins
so that the pages show rows in several states.
"""
import argparse
import json
import os
import subprocess
import sys
import time

import e2e
import wizard_e2e as w
from e2e import TITLE, run_cli


def shoot(out, name):
    """The screen cropped to the windows on it (the display's background is black)."""
    path = os.path.join(out, name + ".png")
    subprocess.run(["import", "-window", "root", "-trim", "+repage", path], check=True)
    print("wrote " + path)


def settle():
    time.sleep(1.0)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--exe", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    s = e2e.Session(args)
    try:
        w.serve_everything()
        exe = s.install_copy("shots", e2e.RELEASE_NAME)
        run_cli(s, exe, "/uninstall", *w.REMOVABLE, "Utilities", "Utilities2", "/quiet")

        # The prerequisites page shows only while a prerequisite is missing.
        run_cli(s, exe, "/install", "MS VC++ 2005 SP1 Redist", "MS VC++ 2010 SP1 Redist", "/quiet")
        wizard = w.Wizard(s, exe)
        settle()
        shoot(args.out, "01-welcome")
        for page, name in ((1, "02-readme"), (w.RESOURCES, "03-resources"), (w.PREREQ, "04-prerequisites")):
            wizard.next(page)
            settle()
            shoot(args.out, name)
        s.close_all()

        run_cli(s, exe, "/install", "Prerequisites", "Orvanta Version X 10.2.1.578 Runtime", "Speccy v1.25",
                "Orvanta Watchdog - Vivantor 2.0.0.6", "Tavrel 1.0.0.1(3587)", "/quiet")
        # Another build of Tavrel: the first utility page explains it when it opens.
        tavrel = os.path.join(os.environ["WINEPREFIX"], "drive_c", "Program Files", "Dalvoren AS", "Tavrel",
                              "version.txt")
        if os.path.exists(tavrel):
            with open(tavrel, "w") as f:
                f.write("Tavrel 0.9")
        wizard = w.Wizard(s, exe)
        names = {5: "05-prerequisites-status", 6: "06-core-components", 7: "07-extensions", 8: "08-tutorials",
                 9: "09-complete", 10: "10-modules", 11: "11-camera-drivers", 12: "12-io-system",
                 13: "13-utilities-1", 14: "14-utilities-2"}
        for page in range(1, len(w.PAGES)):
            if page in (w.PREREQ,):
                continue
            wizard.click(w.NEXT)
            deadline = time.time() + 30
            while wizard.caption() != w.CAPTIONS[page] and time.time() < deadline:
                # The first utility page explains the Tavrel build while it opens.
                if s.count("messagebox"):
                    settle()
                    shoot(args.out, "message-status-warning")
                    s.driver("answer", TITLE, 1)
                time.sleep(0.2)
            wizard.expect(page)
            settle()
            if page + 1 in names:
                shoot(args.out, names[page + 1])

        # A download in progress: the server holds the body back for a while.
        row = "IDC_UTIL_ROW1_"  # TeamViewer
        faults = {"/orvanta/files/InstallerDownloads/_Installers3rdParty/TeamViewer/Orvanta_TeamViewer_8_Host_Setup.exe":
                  {"stall": 60000, "hold": 6}}
        with open(os.environ["INSTALLER_VENDOR_FAULTS"], "w") as f:
            json.dump(faults, f)
        wizard.click(w.ID[row + "INSTALL"])
        time.sleep(3)
        shoot(args.out, "dialog-download-and-install")
        if s.driver("wait", TITLE, 30000, "messagebox")[0] == 0:
            settle()
            shoot(args.out, "dialog-download-failed")
            s.driver("answer", TITLE, 1)
        with open(os.environ["INSTALLER_VENDOR_FAULTS"], "w") as f:
            f.write("{}")
        settle()
        # A removal.
        wizard.click(w.ID["IDC_UTIL_ROW2_UNINSTALL"])
        time.sleep(0.7)
        shoot(args.out, "dialog-uninstall")
        wizard.wait_text(w.ID["IDC_UTIL_ROW2_STATUS"], "Not Installed")
    finally:
        s.close_all()
        run_cli(s, exe, "/uninstall", *w.REMOVABLE, "Utilities", "Utilities2", "/quiet")
    return 0


if __name__ == "__main__":
    sys.exit(main())
