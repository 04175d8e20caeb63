#!/usr/bin/env python3
"""End-to-end tests of the wizard: the real program under Wine, its pages walked and its rows worked through
their buttons by WizardDriver.exe, as a person would.

    wizard_e2e.py TEST --exe INSTALLER.exe --driver WizardDriver.exe --work DIR

Control identifiers are read from the pages' *Res.h files, never repeated here.
"""
import glob
import os
import re
import shutil
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import fill_server_address  # noqa: E402

import e2e
from e2e import RELEASE_NAME, TITLE, Failure, check, run_cli

SOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src", "InstallationUtils",
                       "OrvantaLumetraSDKInstaller")
NEXT, BACK, CANCEL = 0x3024, 0x3023, 2
PROGRAM_BOX = "OrvantaLumetraSDK_10_2_1_578_Installer_140411"  # the caption of the program's own message boxes
IDYES, IDNO = 6, 7
PAGES = [
    "Welcome to Orvanta Lumetra Version X 10.2.1.578 SDK System Management", "Readme Notes",
    "Orvanta Vision Resources", "Prerequisite Installation", "Prerequisite Installation Status",
    "Core Component Installation", "Recommended Orvanta Extensions", "Orvanta Vision Tutorials",
    "Installation Complete", "Optional Orvanta Modules", "3rd Party Camera Drivers", "Orvanta IO System",
    "Optional Utility Software 1", "Optional Utility Software 2",
]
CAPTIONS = [TITLE + " - " + p for p in PAGES]
WELCOME, RESOURCES, PREREQ, PREREQ_STATUS, CORE, EXTENSIONS, MODULES, UTILITIES2 = 0, 2, 3, 4, 5, 6, 9, 13
# What the tests install and remove again; .Net and Windows Installer have no removal.
REMOVABLE = ["MS VC++ 2005 SP1 Redist", "MS VC++ 2008 SP1 Redist", "MS VC++ 2010 SP1 Redist", "CoreComponents"]
UNINSTALL_SDK = "This will un-install the Orvanta Lumetra SDK.\nDo you want to proceed?"


def resource_ids():
    ids = {}
    for header in glob.glob(os.path.join(SOURCES, "**", "*Res.h"), recursive=True):
        with open(header) as f:
            for name, value in re.findall(r"^#define\s+(\w+)\s+(\d+)\s*$", f.read(), re.M):
                ids[name] = int(value)
    return ids


ID = resource_ids()


def serve_everything():
    """The loopback server offers the whole generated vendor tree."""
    shutil.copytree(os.path.join(os.environ["INSTALLER_FIXTURES"], "server"), os.environ["INSTALLER_VENDOR_ROOT"],
                    dirs_exist_ok=True)
    os.environ["ORVANTA_INSTALLER_SERVER"] = os.environ["INSTALLER_VENDOR_URL"]
    # The lists and the upgrade announcement name addresses on this server: its address goes into them.
    fill_server_address.fill(os.environ["INSTALLER_VENDOR_ROOT"], os.environ["INSTALLER_VENDOR_URL"])


class Wizard:
    """The running wizard, seen through its caption and the controls of the shown page."""

    def __init__(self, s, exe):
        self.s = s
        s.start(exe)
        check(s.driver("wait", CAPTIONS[WELCOME], 60000, "sheet")[0] == 0, "the wizard did not open")
        self.page = WELCOME

    def caption(self):
        rc, out = self.s.driver("caption", "sheet", 2000)
        return out.strip() if rc == 0 else None

    def expect(self, page, seconds=30):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if self.caption() == CAPTIONS[page]:
                self.page = page
                return
            # A page may explain something while it opens (the modules page without the Runtime, the first
            # problem row of a utility page): acknowledged as a person would.
            for box in (TITLE, PROGRAM_BOX):
                if self.s.driver("count", box, "messagebox")[1].strip() not in ("", "0"):
                    self.s.driver("answer", box, 1)
            time.sleep(0.2)
        raise Failure("expected the page %r, the wizard shows %r" % (PAGES[page], self.caption()))

    def click(self, control):
        check(self.s.driver("click", CAPTIONS[self.page], control, "sheet")[0] == 0,
              "no control %r (%s)" % (control, self.s.driver_said))

    def text(self, control):
        rc, out = self.s.driver("text", CAPTIONS[self.page], control, "sheet")
        check(rc == 0, "no control %r on %r (%s)" % (control, PAGES[self.page], self.s.driver_said))
        return out.rstrip("\n")

    def state(self, control):
        rc, out = self.s.driver("state", CAPTIONS[self.page], control, "sheet")
        check(rc == 0, "no control %r on %r (%s)" % (control, PAGES[self.page], self.s.driver_said))
        return dict((k, v == "1") for k, v in (item.split("=") for item in out.split()))

    def wait_text(self, control, expected, seconds=180):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if self.text(control) == expected:
                return
            if self.s.count("messagebox"):
                self.s.driver("answer", TITLE, 1)  # a report box of the operation is acknowledged
            time.sleep(0.5)
        raise Failure("%r never showed %r (it shows %r)" % (control, expected, self.text(control)))

    def next(self, page, seconds=30):
        self.click(NEXT)
        self.expect(page, seconds)

    def back(self, page, seconds=30):
        self.click(BACK)
        self.expect(page, seconds)


def boxes_until(s, text, seconds=60):
    """Acknowledges the program's message boxes until one says text; returns every text seen. A download reports
    under the program's own caption, a page under the installer's title."""
    seen, deadline = [], time.time() + seconds
    while time.time() < deadline:
        for caption in (TITLE, PROGRAM_BOX):
            rc, out = s.driver("messagebox", caption, 300)
            if rc != 0:
                continue
            seen.append(out.replace("\r\n", "\n").rstrip("\n"))
            s.driver("answer", caption, 1)
            if seen[-1] == text:
                return seen
        time.sleep(0.2)
    raise Failure("no box said %r (boxes: %r)" % (text, seen))


def install_with_the_command_line(s, exe, *names):
    rc, out, err = run_cli(s, exe, "/install", *names, "/quiet")
    check(rc == e2e.EXIT_SUCCESS, "setting up with /install %r ended with %d: %s %s" % (names, rc, out, err))


def leave_the_prefix_clean(s, exe):
    """The tests share one Wine prefix: what a test installed is removed again."""
    s.close_all()
    run_cli(s, exe, "/uninstall", *REMOVABLE, "/quiet")


def test_WizardWalksEveryPageAndPassesOverThePrerequisites(s):
    serve_everything()
    exe = s.install_copy("walk", RELEASE_NAME)
    install_with_the_command_line(s, exe, "Prerequisites", "CoreComponents")
    try:
        walk_every_page(s, exe)
    finally:
        leave_the_prefix_clean(s, exe)


def walk_every_page(s, exe):
    w = Wizard(s, exe)
    forward = [p for p in range(len(PAGES)) if p != PREREQ]
    for page in forward[1:]:
        w.next(page)
    check(not w.state(NEXT)["enabled"], "the last page offers Next")
    check(w.text(CANCEL) == "Finish", "the last page's Cancel reads %r" % w.text(CANCEL))
    for page in reversed(forward[:-1]):
        w.back(page)

    # With a prerequisite removed through its row button, the prerequisites page shows again.
    for page in (1, RESOURCES, PREREQ_STATUS):
        w.next(page)
    check(w.state(NEXT)["enabled"], "every prerequisite is in place, yet Next is disabled")
    vc2008 = "IDC_PREREQ_ROW1_"
    check(w.text(ID[vc2008 + "NAME"]) == "MS VC++ 2008 SP1 Redist", "row 1 is %r" % w.text(ID[vc2008 + "NAME"]))
    w.click(ID[vc2008 + "UNINSTALL"])
    w.wait_text(ID[vc2008 + "STATUS"], "Not Installed")
    check(not w.state(NEXT)["enabled"], "Next stays enabled with a prerequisite missing")
    check(w.text(ID["IDC_PREREQ_STATUS_LINE"]).startswith("Pre-requisites are not installed successfully."),
          "status line: %r" % w.text(ID["IDC_PREREQ_STATUS_LINE"]))
    w.back(PREREQ)
    check(w.text(ID[vc2008 + "STATUS"]) == "Not Installed", "the prerequisites page shows %r"
          % w.text(ID[vc2008 + "STATUS"]))
    # Next installs it (through the progress dialog) and moves on to the status page.
    w.next(PREREQ_STATUS, seconds=240)
    w.wait_text(ID[vc2008 + "STATUS"], "Installed", seconds=30)
    check(w.state(NEXT)["enabled"], "Next is disabled after the prerequisites were installed")


def test_WizardNavigationButtonsJumpToTheirPages(s):
    exe = s.install_copy("navigation", RELEASE_NAME)  # a clean machine: Next on the prerequisites would install
    w = Wizard(s, exe)
    w.click("Modules")
    w.expect(MODULES)
    w.click("Extensions")
    w.expect(EXTENSIONS)
    w.click("Home")
    w.expect(WELCOME)
    check(not os.path.exists(os.path.join(os.path.dirname(exe), "_OrvantaInstallData", "Prerequisites")),
          "jumping ran the prerequisites' installation")


def test_WizardRowButtonsInstallAndRemoveAUtility(s):
    serve_everything()
    exe = s.install_copy("rows", RELEASE_NAME)
    w = Wizard(s, exe)
    w.click("Modules")
    w.expect(MODULES)
    for page in range(MODULES + 1, UTILITIES2 + 1):
        w.next(page)
    speccy = "IDC_UTIL_ROW2_"
    check(w.text(ID[speccy + "NAME"]) == "Speccy v1.25", "row 2 is %r" % w.text(ID[speccy + "NAME"]))
    check(w.text(ID[speccy + "STATUS"]) == "Not Installed", "Speccy is %r" % w.text(ID[speccy + "STATUS"]))
    check(w.state(ID[speccy + "INSTALL"])["enabled"] and not w.state(ID[speccy + "UNINSTALL"])["enabled"],
          "the buttons of a missing row")
    check(w.text(ID[speccy + "INSTALL"]) == "Install", "the Install picture has no accessible name")
    w.click(ID[speccy + "INSTALL"])
    w.wait_text(ID[speccy + "STATUS"], "Installed")
    check(w.text(ID[speccy + "ACTION"]) == "Ok", "action text %r" % w.text(ID[speccy + "ACTION"]))
    check(not w.state(ID[speccy + "INSTALL"])["enabled"] and w.state(ID[speccy + "UNINSTALL"])["enabled"],
          "the buttons of an installed row")
    check(e2e.statuses(s, exe)[("Utilities2", "Speccy v1.25")] == "Installed", "the machine disagrees")
    w.click(ID[speccy + "UNINSTALL"])
    w.wait_text(ID[speccy + "STATUS"], "Not Installed")
    check(e2e.statuses(s, exe)[("Utilities2", "Speccy v1.25")] == "Not Installed", "Speccy is still there")


def test_WizardCorePageSdkBoxAsksBeforeRemovingTheSdk(s):
    serve_everything()
    exe = s.install_copy("core", RELEASE_NAME)
    install_with_the_command_line(s, exe, "Prerequisites", "CoreComponents")
    try:
        clear_and_tick_the_sdk_box(s, exe)
    finally:
        leave_the_prefix_clean(s, exe)


def clear_and_tick_the_sdk_box(s, exe):
    w = Wizard(s, exe)
    for page in (1, RESOURCES, PREREQ_STATUS, CORE):
        w.next(page)
    box, sdk = ID["IDC_CORE_SDK_WANTED"], "IDC_CORE_ROW1_"
    check(w.state(box)["checked"], "the SDK is installed, yet its box is clear")
    check(w.text(CANCEL) == "Finish" and w.state(NEXT)["enabled"], "a complete core does not offer Finish")

    for answer in (IDNO, IDYES):
        w.click(box)
        rc, question = s.driver("messagebox", TITLE, 30000)
        check(rc == 0 and question == UNINSTALL_SDK, "question: %r" % question)
        check(s.driver("answer", TITLE, answer)[0] == 0, "could not answer")
        if answer == IDNO:
            time.sleep(1)
            check(w.state(box)["checked"], "No left the box clear")
            check(w.text(ID[sdk + "STATUS"]) == "Installed", "No removed the SDK")
    w.wait_text(ID[sdk + "STATUS"], "Not Installed")
    check(not w.state(box)["checked"], "the box is ticked after the SDK was removed")
    check(not w.state(ID[sdk + "INSTALL"])["enabled"], "the SDK's Install stays enabled without the SDK wanted")
    check(w.text(CANCEL) == "Finish" and w.state(NEXT)["enabled"], "the Runtime alone completes the core")
    check(e2e.statuses(s, exe)[("CoreComponents", "Orvanta Lumetra Version X 10.2.1.578 SDK")] == "Not Installed",
          "the machine still has the SDK")


if __name__ == "__main__":
    sys.exit(e2e.main(globals()))
