#!/usr/bin/env python3
"""Pictures of every wizard page and of the progress dialogs, for a person to look at.

    screenshots.py OUTDIR --exe INSTALLER.exe --driver WizardDriver.exe --work DIR

Runs inside tools/with-wine.sh and tests/win32/run-with-server.sh, in a prefix of its own: it installs stand-ins
so that the pages show rows in several states.
"""
import argparse
import json
import os
import shutil
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


CONFIRMATION, IDYES = "Confirmation", 6
DOWNLOAD_DIALOG = TITLE + " - Download and Install Components"


def answer_boxes(s):
    """Acknowledges every message box the program shows: its reports (OK) and an Abort question (Yes)."""
    for box, answer in ((TITLE, 1), (w.PROGRAM_BOX, 1), (CONFIRMATION, IDYES)):
        for _ in range(5):
            rc, n = s.driver("count", box, "messagebox")
            if rc != 0 or n.strip() in ("", "0"):
                break
            s.driver("answer", box, answer)
            time.sleep(0.3)


class Wizard(w.Wizard):
    """The wizard, started once more when its program ends before it shows a window.

    Now and then a program started right after the previous one has ended goes away at once under Wine, without
    a window or a run log; one picture group would then take the rest of the run with it."""

    def __init__(self, s, exe):
        self.s = s
        self.page = w.WELCOME
        for attempt in (1, 2):
            program = s.start(exe)
            deadline = time.time() + 60
            while time.time() < deadline and program.poll() is None:
                if s.driver("wait", w.CAPTIONS[w.WELCOME], 1000, "sheet")[0] == 0:
                    return
            print("the wizard did not open (attempt %d, exit %r)" % (attempt, program.poll()))
            end_programs(s)
        raise e2e.Failure("the wizard did not open")


def wait_gone(s, caption, seconds=30):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if s.driver("count", caption)[1].strip() in ("", "0"):
            return True
        answer_boxes(s)
        time.sleep(0.3)
    return False


def end_programs(s):
    """Closes every wizard this run started and waits until its process has ended.

    The next start of the installer would otherwise meet the single-instance lock of the earlier one, say
    "Another instance ... is already running" and show no wizard. A box or a progress dialog left open blocks
    the wizard's close, so they are answered and aborted first; Session.close_all then closes the wizard and
    ends what does not end."""
    if any(p.poll() is None for p in s.programs):
        answer_boxes(s)
        for dialog in (DOWNLOAD_DIALOG, TITLE + " - Uninstall Components"):
            if s.driver("count", dialog)[1].strip() not in ("", "0"):
                s.driver("click", dialog, "Abort")
                time.sleep(0.5)
                answer_boxes(s)
    s.close_all()
    running = [p.args for p in s.programs if p.poll() is None]
    if running:
        raise e2e.Failure("the installer did not end, the next start would be refused: %r (windows: %r)"
                          % (running, s.driver("caption", "any", 500)[1].strip()))
    s.programs = []


# ---------------------------------------------------------------------------------------------------------
# The welcome page with installer copies, and with the news of a newer installer

UPGRADE_INFO = ("orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaLumetraSDK/"
                "578UpgradeInfoLumetraSDK.ini.txt")


def welcome_pictures(s, out, standins):
    """Two copies of other versions in the copies folder (the stand-ins built beside the driver), then an
    upgrade information file on the server that announces a newer installer."""
    exe = s.install_copy("welcome-shots", e2e.RELEASE_NAME)
    copies = os.path.join(os.path.dirname(exe), "_OrvantaInstallers")
    os.makedirs(copies, exist_ok=True)
    for standin, name in (("welcome_older_copy.exe", "OrvantaLumetraSDK_10_1_0_400_Installer_130101.exe"),
                          ("welcome_oldest_copy.exe", "OrvantaLumetraSDK_10_0_0_100_Installer_120101.exe")):
        if os.path.exists(os.path.join(standins, standin)):
            shutil.copy(os.path.join(standins, standin), os.path.join(copies, name))
    root = os.environ["INSTALLER_VENDOR_ROOT"]
    info = os.path.join(root, UPGRADE_INFO)
    os.makedirs(os.path.dirname(info), exist_ok=True)
    notes_folder = "orvanta/files/InstallerRepositories/Orvanta10.2/600/"
    with open(info, "w") as f:
        f.write("[Version Upgrade Info]\r\nLatestVersionName=Orvanta Lumetra SDK Version X 10.2.2.600 Installer\r\n"
                "LatestVersionNumber=10.2.2.600\r\nReleaseNotesFileName=ReleaseNotes600.txt\r\n"
                "ReleaseNotesFilePath=%s/%s\r\n" % (os.environ["INSTALLER_VENDOR_URL"], notes_folder))
    os.makedirs(os.path.join(root, notes_folder), exist_ok=True)
    with open(os.path.join(root, notes_folder, "ReleaseNotes600.txt"), "w") as f:
        f.write("Release notes of 10.2.2.600\r\n")
    try:
        Wizard(s, exe)
        link = w.ID["IDC_WELCOME_NEW_VERSION_LINK"]
        deadline = time.time() + 60
        while time.time() < deadline:
            rc, state = s.driver("state", w.CAPTIONS[w.WELCOME], link, "sheet")
            if rc == 0 and "visible=1" in state:
                break
            time.sleep(0.5)
        settle()
        shoot(out, "welcome-copies-and-new-version")
        s.close_all()
    finally:
        os.remove(info)


# ---------------------------------------------------------------------------------------------------------
# The dialogs of the newer installer and of "Create Installer Copy"

def copy_pictures(s, out):
    """The new-version dialog with its release notes, and the tree of the installer copy's components."""
    import copy_e2e
    exe = s.install_copy("copy-shots", e2e.RELEASE_NAME)
    copy_e2e.serve_newer_installer()
    try:
        wizard = Wizard(s, exe)
        icon = w.ID["IDC_WELCOME_NEW_VERSION_ICON"]
        deadline = time.time() + 60
        while time.time() < deadline and "visible=1" not in s.driver("state", w.CAPTIONS[w.WELCOME], icon, "sheet")[1]:
            time.sleep(0.5)
        wizard.click(icon)
        if s.driver("wait", copy_e2e.NEW_VERSION_DIALOG, 20000, "any")[0] == 0:
            settle()
            shoot(out, "dialog-new-version")
            s.driver("click", copy_e2e.NEW_VERSION_DIALOG, 2, "any")  # Ignore
        settle()
        wizard.click(w.ID["IDC_WELCOME_CREATE_COPY"])
        if s.driver("wait", "Select Installer Components", 20000, "any")[0] == 0:
            settle()
            shoot(out, "dialog-select-installer-components")
            s.driver("click", "Select Installer Components", 2, "any")  # Cancel
        s.close_all()
    finally:
        shutil.copy(os.path.join(os.environ["INSTALLER_FIXTURES"], "server", copy_e2e.UPGRADE_INFO),
                    os.path.join(os.environ["INSTALLER_VENDOR_ROOT"], copy_e2e.UPGRADE_INFO))


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
        wizard = Wizard(s, exe)
        settle()
        shoot(args.out, "01-welcome")
        for page, name in ((1, "02-readme"), (w.RESOURCES, "03-resources"), (w.PREREQ, "04-prerequisites")):
            wizard.next(page)
            settle()
            shoot(args.out, name)
        end_programs(s)

        run_cli(s, exe, "/install", "Prerequisites", "Orvanta Version X 10.2.1.578 Runtime", "Speccy v1.25",
                "Orvanta Watchdog - Vivantor 2.0.0.6", "Tavrel 1.0.0.1(3587)", "/quiet")
        # Another build of Tavrel: the first utility page explains it when it opens.
        tavrel = os.path.join(os.environ["WINEPREFIX"], "drive_c", "Program Files", "Dalvoren AS", "Tavrel",
                              "version.txt")
        if os.path.exists(tavrel):
            with open(tavrel, "w") as f:
                f.write("Tavrel 0.9")
        wizard = Wizard(s, exe)
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
            # A box the page shows as it opens gets its own picture and its answer before the page's picture.
            if s.count("messagebox"):
                shoot(args.out, "message-status-warning")
                s.driver("answer", TITLE, 1)
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
        e2e.check(s.driver("wait", DOWNLOAD_DIALOG, 30000)[0] == 0, "no download dialog")
        time.sleep(2)
        shoot(args.out, "dialog-download-and-install")
        # The held-back download fails: the program's error box, then the dialog waits for the user's Abort.
        if s.driver("wait", w.PROGRAM_BOX, 60000, "messagebox")[0] == 0:
            settle()
            shoot(args.out, "dialog-download-failed")
            s.driver("answer", w.PROGRAM_BOX, 1)
        with open(os.environ["INSTALLER_VENDOR_FAULTS"], "w") as f:
            f.write("{}")
        settle()
        s.driver("click", DOWNLOAD_DIALOG, "Abort")
        time.sleep(0.5)
        answer_boxes(s)
        e2e.check(wait_gone(s, DOWNLOAD_DIALOG), "the download dialog stayed after Abort")
        # A removal.
        wizard.click(w.ID["IDC_UTIL_ROW2_UNINSTALL"])
        time.sleep(0.7)
        shoot(args.out, "dialog-uninstall")
        wizard.wait_text(w.ID["IDC_UTIL_ROW2_STATUS"], "Not Installed")
        end_programs(s)
        welcome_pictures(s, args.out, os.path.dirname(args.driver))
        end_programs(s)
        copy_pictures(s, args.out)
        end_programs(s)
        component_pages(s, exe, args.out)
        end_programs(s)
        content_pictures(s, args.out)
        end_programs(s)
        readme_pictures(s, args.out)
        end_programs(s)
    finally:
        try:
            end_programs(s)
        finally:
            run_cli(s, exe, "/uninstall", *w.REMOVABLE, "Utilities", "Utilities2", *COMPONENT_PAGES, "/quiet")
    return 0


# ---- The extensions, modules, camera-driver and IO pages with rows installed, the library variant dialog and a
# group install in progress.
COMPONENT_PAGES = ["Extensions", "Modules", "ThirdPartySoftwares", "IOSystem"]
VARIANT_DIALOG = "Select Vexlib Version"


def wait_for_boxes(s, seconds):
    """Acknowledges the boxes that an operation or a page's opening leaves, for a few seconds."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        if s.count("messagebox"):
            s.driver("answer", TITLE, 1)
        time.sleep(0.3)


def component_pages(s, exe, out):
    run_cli(s, exe, "/uninstall", *COMPONENT_PAGES, "/quiet")
    run_cli(s, exe, "/install", "Prerequisites", "CoreComponents", "/quiet")

    # The Python 2D group's first row, held back by a slow download so that its progress dialog can be seen.
    with open(os.environ["INSTALLER_VENDOR_FAULTS"], "w") as f:
        json.dump({"*/python-2.6.6.msi": {"rate": 1500}}, f)
    try:
        wizard = Wizard(s, exe)
        wizard.click("Extensions")
        wizard.expect(w.EXTENSIONS)
        wait_for_boxes(s, 1)
        wizard.click(w.ID["IDC_EXT_PYTHON2D_INSTALL"])
        check_shown = s.driver("wait", TITLE + " - Download and Install Components", 30000)[0] == 0
        time.sleep(3)
        if check_shown:
            shoot(out, "dialog-group-install")
        wizard.wait_text(w.ID["IDC_EXT_ROW2_STATUS"], "Installed", seconds=300)
    finally:
        with open(os.environ["INSTALLER_VENDOR_FAULTS"], "w") as f:
            f.write("{}")
    wait_for_boxes(s, 2)
    s.close_all()

    # Rows in several states on every page: an OpenCV 2.X release with the numpy it needs, the IPP module, a camera
    # driver and a Basler package, an IO driver.
    run_cli(s, exe, "/install", "OpenCV 2.4.6", "numpy-1.8.1-python2.6", "Orvanta 9.3.0.524 IPP",
            "ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit", "Basler pylon SDK 3.2.3.3215 - 64 bit",
            "DAQNavi PCI-1730 3.1.1.0", "/quiet")
    wizard = Wizard(s, exe)
    wizard.click("Extensions")
    wizard.expect(w.EXTENSIONS)
    wait_for_boxes(s, 1)
    settle()
    shoot(out, "20-extensions-installed")
    wizard.click("Modules")
    wizard.expect(w.MODULES)
    wait_for_boxes(s, 1)
    settle()
    shoot(out, "21-modules-installed")
    wizard.click(w.ID["IDC_MOD_CHANGE"])
    if s.driver("wait", VARIANT_DIALOG, 30000)[0] == 0:
        settle()
        shoot(out, "dialog-vexlib-version")
        s.driver("close", VARIANT_DIALOG)
        s.driver("wait", w.CAPTIONS[w.MODULES], 10000, "sheet")
    for page, name in ((w.MODULES + 1, "22-camera-drivers-installed"), (w.MODULES + 2, "23-io-system-installed")):
        time.sleep(1)
        wizard.next(page)
        wait_for_boxes(s, 1)
        settle()
        shoot(out, name)


# ---- The tutorials and resources pages with the lists of the vendor tree: a resources tab of links and a
# tutorials tab with one tutorial installed.
def content_pictures(s, out):
    import content_e2e
    exe = s.install_copy("content-shots", e2e.RELEASE_NAME)
    documents = content_e2e.OpenedDocuments(s)  # keeps the tutorials out of the prefix's real documents folder
    try:
        wizard = Wizard(s, exe)
        wizard.next(1)
        wizard.next(w.RESOURCES, seconds=60)
        settle()
        shoot(out, "30-resources-links")
        wizard.click("Extensions")
        wizard.expect(w.EXTENSIONS)
        wait_for_boxes(s, 1)
        wizard.next(content_e2e.TUTORIALS, seconds=60)
        wizard.click(content_e2e.ROW0_INSTALL)
        wizard.wait_text(content_e2e.ROW0_STATUS, "Installed", seconds=60)
        settle()
        shoot(out, "31-tutorials")
    finally:
        s.close_all()
        documents.restore()


# ---- The readme page, the installation complete page with its SDK links, and a help request (on this Wine the
# topic goes to the system's handler; with an HTML engine the help viewer shows).
def readme_pictures(s, out):
    import readme_e2e
    exe = s.install_copy("readme-shots", e2e.RELEASE_NAME)
    topics = readme_e2e.OpenedFiles(s, ".htm")
    try:
        wizard = Wizard(s, exe)
        wizard.next(readme_e2e.README)
        readme_e2e.wait_readme(wizard, readme_e2e.SERVED_README)
        settle()
        shoot(out, "40-readme")
        wizard.click(readme_e2e.HELP)
        readme_e2e.wait_help_lines(os.path.dirname(exe), 1)
        settle()
        shoot(out, "41-help-request")
        s.driver("close", readme_e2e.VIEWER)
        wizard.click(w.ID["IDC_NAV_EXTENSIONS"])
        wizard.expect(w.EXTENSIONS)
        wait_for_boxes(s, 1)
        wizard.back(w.CORE)
        if not wizard.state(w.ID["IDC_CORE_SDK_WANTED"])["checked"]:
            wizard.click(w.ID["IDC_CORE_SDK_WANTED"])
            wait_for_boxes(s, 1)
        readme_e2e.go_to_complete(wizard)
        settle()
        shoot(out, "42-complete")
    finally:
        s.close_all()
        topics.restore()


if __name__ == "__main__":
    sys.exit(main())
