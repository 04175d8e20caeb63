#!/usr/bin/env python3
"""End-to-end tests of the tutorials and resources pages: the real program under Wine against the loopback
vendor server, its rows and links worked through WizardDriver.exe.

    content_e2e.py TEST --exe INSTALLER.exe --driver WizardDriver.exe --work DIR

"Opened" means the shell request reached the system: the test registers, for the duration of the run, a
stand-in handler for ".pdf" documents in the prefix (a cmd.exe line that appends the document's path to a
file); every document the program hands to the shell's "open" verb shows up there.
"""
import os
import sys
import time

import e2e
from e2e import RELEASE_NAME, Failure, check, reg, requests_of, set_faults, windows_path
from wizard_e2e import EXTENSIONS, ID, RESOURCES, Wizard, boxes_until, serve_everything

TUTORIALS = EXTENSIONS + 1
DATASHEET = "/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaVisionSoftware/Resources/Lumetra-Datasheet.pdf"
SHELL_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer"
PDF_CLASS = r"HKLM\Software\Classes\.pdf"
PDF_HANDLER = r"HKLM\Software\Classes\OrvantaTestDocument"
# Row 0 of the tutorials tab dialog: its buttons count from 45000, its status and name statics.
ROW0_REMOVE, ROW0_PDF, ROW0_INSTALL, ROW0_STATUS, ROW0_NAME = 45000, 45002, 45004, 45070, 45080
ROW8_NAME = 45088
FIRST_LEFT_LINK = 44000
USING_DEFAULT_LIST = "Using default list of tutorials."


def reg_value(key, name=None):
    """(type, data) of a value of the prefix's registry (the default value when name is None), or None."""
    out = reg("query", key, *(("/v", name) if name else ("/ve",))).stdout.decode("latin-1")
    for line in out.splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            return parts[1], parts[2] if len(parts) == 3 else ""
    return None


def reg_restore(key, name, saved):
    """Puts a value back as reg_value found it (deleting it when it was not there)."""
    which = ("/v", name) if name else ("/ve",)
    if saved is None:
        reg("delete", key, *which, "/f")
    else:
        reg("add", key, *which, "/t", saved[0], "/d", saved[1], "/f")


def row_button_shown(s, w, control, shown, seconds=10):
    """Whether a row's button is there and shown (or hidden) within the time: a tab's rows are built again after
    each operation, and the status line can be there before the buttons."""
    deadline = time.time() + seconds
    while True:
        rc, out = s.driver("state", w.caption(), control, "sheet")
        if rc == 0 and ("visible=%d" % shown) in out.split():
            return True
        if time.time() > deadline:
            return False
        time.sleep(0.2)


class OpenedDocuments:
    """A stand-in ".pdf" handler in the prefix and a documents folder of the test's own, both taken away again."""

    def __init__(self, s):
        self.log = os.path.join(s.work, "opened.txt")
        self.documents = os.path.join(s.work, "documents")
        os.makedirs(self.documents, exist_ok=True)
        # What the prefix had comes back afterwards.
        self.saved = [(PDF_CLASS, None, reg_value(PDF_CLASS))] + [
            (SHELL_FOLDERS + "\\" + folders, "Personal", reg_value(SHELL_FOLDERS + "\\" + folders, "Personal"))
            for folders in ("User Shell Folders", "Shell Folders")]
        reg("add", PDF_CLASS, "/ve", "/d", "OrvantaTestDocument", "/f")
        reg("add", PDF_HANDLER + r"\shell\open\command", "/ve", "/d",
            'cmd.exe /c echo "%%1">>"%s"' % windows_path(self.log), "/f")
        reg("add", SHELL_FOLDERS + r"\User Shell Folders", "/v", "Personal", "/t", "REG_EXPAND_SZ", "/d",
            windows_path(self.documents), "/f")
        reg("add", SHELL_FOLDERS + r"\Shell Folders", "/v", "Personal", "/d", windows_path(self.documents), "/f")

    def restore(self):
        reg("delete", PDF_HANDLER, "/f")
        for key, name, saved in self.saved:
            reg_restore(key, name, saved)

    def opened(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="latin-1") as f:
            return [line.strip().strip('"') for line in f if line.strip()]

    def wait(self, count, what, seconds=30):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if len(self.opened()) >= count:
                return self.opened()
            time.sleep(0.3)
        raise Failure("%s was not handed to the shell (opened: %r)" % (what, self.opened()))


def tabs(s, w, control):
    rc, out = s.driver("tabs", w.caption(), control, "sheet")
    check(rc == 0, "no tab control %r" % control)
    return out.strip()


def test_ContentTutorialsAndResourcesWorkAgainstTheServer(s):
    serve_everything()  # with this server's address in the lists
    exe = s.install_copy("content", RELEASE_NAME)
    data = os.path.join(os.path.dirname(exe), "_OrvantaInstallData")
    documents = OpenedDocuments(s)
    try:
        # The server's log holds the requests of the tests before this one too.
        datasheet_requests_before = requests_of(DATASHEET)
        w = Wizard(s, exe)
        w.next(1)
        w.next(RESOURCES, seconds=60)

        # Resources: the pictures of the list were fetched (the page address among them was not); the first tab
        # shows the two link columns. The datasheet is fetched once and then opened from disk.
        resources = os.path.join(data, "Resources")
        check(os.path.isfile(os.path.join(resources, "camera-setup.png")), "the pictures were not fetched")
        check(not os.path.exists(os.path.join(resources, "forum.htm")), "a page address was fetched as a picture")
        check(tabs(s, w, ID["IDC_RESOURCES_TABS"]) == "count=2 selected=0", "resources tabs: %s"
              % tabs(s, w, ID["IDC_RESOURCES_TABS"]))
        check(w.text(FIRST_LEFT_LINK) == "Lumetra SDK datasheet", "first link: %r" % w.text(FIRST_LEFT_LINK))
        local = os.path.join(resources, "Lumetra-Datasheet.pdf")
        for click in (1, 2):
            check(s.driver("press", w.caption(), FIRST_LEFT_LINK, "sheet")[0] == 0, "the link is not there")
            opened = documents.wait(click, "the datasheet")
            check(opened[-1].lower().endswith(r"_orvantainstalldata\resources\lumetra-datasheet.pdf"),
                  "opened %r instead of the local copy" % opened[-1])
        check(os.path.isfile(local), "the datasheet is not in the Resources folder")
        fetched = requests_of(DATASHEET) - datasheet_requests_before
        check(fetched == 1, "the datasheet was fetched %d times" % fetched)

        # Tutorials: nine to get started, of which a tab shows eight.
        w.click("Extensions")
        w.expect(EXTENSIONS)
        w.next(TUTORIALS, seconds=60)
        check(tabs(s, w, ID["IDC_TUTORIALS_TABS"]) == "count=2 selected=0", "tutorial tabs: %s"
              % tabs(s, w, ID["IDC_TUTORIALS_TABS"]))
        check(w.text(ROW0_NAME) == "Getting Started 1", "row 0: %r" % w.text(ROW0_NAME))
        check(s.driver("text", w.caption(), ROW8_NAME, "sheet")[0] != 0, "a ninth row is shown")
        check(w.text(ROW0_STATUS) == "Not Installed", "row 0 is %r" % w.text(ROW0_STATUS))

        # Installed: downloaded into the data folder, unpacked into the documents folder; opened; removed.
        w.click(ROW0_INSTALL)
        w.wait_text(ROW0_STATUS, "Installed", seconds=60)
        check(os.path.isfile(os.path.join(data, "Tutorials", "GettingStarted1.zip")), "the archive is not kept")
        folder = os.path.join(documents.documents, "Orvanta 10.2", "Tutorials", "GettingStarted1")
        check(os.path.isfile(os.path.join(folder, "GettingStarted1.pdf")), "the tutorial was not unpacked into %s"
              % folder)
        before = len(documents.opened())
        check(row_button_shown(s, w, ROW0_PDF, True), "no PDF button for the installed tutorial")
        w.click(ROW0_PDF)
        opened = documents.wait(before + 1, "the tutorial document")
        check(opened[-1].lower().endswith(r"orvanta 10.2\tutorials\gettingstarted1\gettingstarted1.pdf"),
              "opened %r" % opened[-1])
        w.click(ROW0_REMOVE)
        w.wait_text(ROW0_STATUS, "Not Installed", seconds=30)
        check(not os.path.exists(folder), "the tutorial folder is still there")
        check(row_button_shown(s, w, ROW0_PDF, False), "the PDF button stays after the removal")

        # The server fails: Refresh reports it, falls back to the list on disk and keeps its tabs.
        set_faults({"/orvanta/*": {"status": 503}})
        w.click(ID["IDC_TUTORIALS_REFRESH"])
        seen = boxes_until(s, USING_DEFAULT_LIST, seconds=40)
        check(len(seen) >= 2, "the failed download was not reported before the fallback: %r" % seen)
        check(tabs(s, w, ID["IDC_TUTORIALS_TABS"]) == "count=2 selected=0", "after the failed refresh: %s"
              % tabs(s, w, ID["IDC_TUTORIALS_TABS"]))
        check(w.text(ROW0_NAME) == "Getting Started 1", "after the failed refresh, row 0: %r" % w.text(ROW0_NAME))
    finally:
        set_faults({})
        s.close_all()
        documents.restore()


if __name__ == "__main__":
    sys.exit(e2e.main(globals()))
