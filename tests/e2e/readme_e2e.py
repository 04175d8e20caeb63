#!/usr/bin/env python3
"""End-to-end tests of the readme page, the help and the installation complete page: the real program under
Wine against the loopback vendor server, worked through WizardDriver.exe.

    readme_e2e.py TEST --exe INSTALLER.exe --driver WizardDriver.exe --work DIR

Wine here has no HTML engine, so the help viewer's browser control cannot show a page; the program then hands
the topic to the system's handler for web pages. For the duration of a run the test registers stand-in
handlers for ".htm" and ".txt" documents in the prefix (a cmd.exe line that appends what it was given to a
file), so every topic and read-me handed to the shell shows up there. Where the help went is also in the program's run log.
"""
import hashlib
import os
import sys
import time

import e2e
from e2e import RELEASE_NAME, TITLE, Failure, check, reg, requests_of, set_faults, windows_path
from wizard_e2e import CORE, EXTENSIONS, ID, MODULES, Wizard, boxes_until, serve_everything

README, COMPLETE = 1, 8
HELP = 9  # the sheet's Help button
README_LIST = "orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaLumetraSDK/578readmeLumetraSDK.rtf"
HELP_ARCHIVE = "/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaVisionSoftware/578help.zip"
SERVED_README = "Stand-in for tests: the readme notes served by the test server."
UPDATED_README = "The readme as the server has it now."
USING_DEFAULT_COPY = "Using default copy of the Readme file."
SDK_KEY = r"HKLM\SOFTWARE\DALVOREN AS\Orvanta Lumetra Version X 10.2.1.578 SDK"
VIEWER = TITLE + " - Help"
SDK_LINKS = ["IDC_SUMMARY_LINKS_NOTE", "IDC_SUMMARY_LINKS_FRAME", "IDC_SUMMARY_LINK_TEST_CONTAINER",
             "IDC_SUMMARY_LINK_README", "IDC_SUMMARY_LINK_REDISTRIBUTION", "IDC_SUMMARY_LINK_CAPTURE",
             "IDC_SUMMARY_LINK_BARCODE_DEMO", "IDC_SUMMARY_LINK_LABEL_DEMO", "IDC_SUMMARY_MARKER_README",
             "IDC_SUMMARY_MARKER_CAPTURE"]


def publish(path, data):
    """A file on the server with the checksum file published beside it."""
    with open(path, "wb") as f:
        f.write(data)
    with open(path + ".sha256", "w", newline="\n") as f:
        f.write("%s  %s\n" % (hashlib.sha256(data).hexdigest(), os.path.basename(path)))


def readme_text(w):
    return w.text(ID["IDC_README_TEXT"]).replace("\r\n", "\n").replace("\r", "\n")


def wait_readme(w, part, seconds=60):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if part in readme_text(w):
            return
        time.sleep(0.3)
    raise Failure("the readme never showed %r (it shows %r)" % (part, readme_text(w)[:300]))


class OpenedFiles:
    """A stand-in handler for one kind of document in the prefix, taken away again: what the shell's "open" verb
    is given for such a document is appended to a file. (This Wine reads file classes from HKLM only.)"""

    def __init__(self, s, extension):
        self.log = os.path.join(s.work, "opened%s.txt" % extension)
        self.kind = r"HKLM\Software\Classes" + "\\" + extension
        self.handler = r"HKLM\Software\Classes\OrvantaTestOpened" + extension.lstrip(".")
        found = reg("query", self.kind, "/ve")
        self.previous = None
        if found.returncode == 0:
            for line in found.stdout.decode("latin-1").splitlines():
                if "REG_SZ" in line:
                    self.previous = line.split("REG_SZ", 1)[1].strip()
        reg("add", self.kind, "/ve", "/d", self.handler.split("\\")[-1], "/f")
        reg("add", self.handler + r"\shell\open\command", "/ve", "/d",
            'cmd.exe /c echo "%%1">>"%s"' % windows_path(self.log), "/f")

    def restore(self):
        if self.previous is None:
            reg("delete", self.kind, "/f")
        else:
            reg("add", self.kind, "/ve", "/d", self.previous, "/f")
        reg("delete", self.handler, "/f")

    def opened(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="latin-1") as f:
            return [line.strip().strip('"') for line in f if line.strip()]

    def wait(self, count, seconds=30):
        deadline = time.time() + seconds
        while time.time() < deadline and len(self.opened()) < count:
            time.sleep(0.3)
        return self.opened()


def help_lines(folder):
    return [line for text in e2e.run_logs(folder) for line in text.splitlines()
            if "Help topic" in line or "Help viewer:" in line]


def wait_help_lines(folder, count, seconds=60):
    deadline = time.time() + seconds
    while time.time() < deadline:
        topics = [line for line in help_lines(folder) if "Help topic" in line]
        if len(topics) >= count:
            return help_lines(folder)
        time.sleep(0.3)
    raise Failure("the help was not shown %d times (run log: %r)" % (count, help_lines(folder)))


def go_to_complete(w):
    """Through the Modules button and Back: the pages between are not worked through."""
    w.click(ID["IDC_NAV_MODULES"])
    w.expect(MODULES)
    w.back(COMPLETE)


def test_ReadmeShownRefreshedAndHelpOnTwoPages(s):
    serve_everything()
    exe = s.install_copy("readme", RELEASE_NAME)
    folder = os.path.dirname(exe)
    served = os.path.join(os.environ["INSTALLER_VENDOR_ROOT"], *README_LIST.split("/"))
    on_disk = os.path.join(folder, "_OrvantaInstallData", "Readme", "578readmeLumetraSDK.rtf")
    topics = OpenedFiles(s, ".htm")
    # The server's log holds the requests of the tests before this one too.
    archive_requests_before = requests_of(HELP_ARCHIVE)
    try:
        w = Wizard(s, exe)
        # Shown: fetched afresh the first time the page is shown (the folder is writable).
        w.next(README)
        wait_readme(w, SERVED_README)
        check(os.path.isfile(on_disk), "the readme was not kept in the data folder")
        check(w.state(ID["IDC_README_REFRESH"])["visible"], "no Refresh with a writable folder")
        check(w.text(ID["IDC_README_STATUS_LINE"]) ==
              "Please click on the 'Next' button to browse the Orvanta resources.", "status line")

        # Refreshed: the server's new readme replaces the shown one.
        publish(served, ("{\\rtf1\\ansi %s\\par}\r\n" % UPDATED_README).encode())
        w.click(ID["IDC_README_REFRESH"])
        wait_readme(w, UPDATED_README)

        # The server fails: the download reports it, then the copy on disk stays, with its message.
        set_faults({"/" + README_LIST: {"status": 503}})
        w.click(ID["IDC_README_REFRESH"])
        seen = boxes_until(s, USING_DEFAULT_COPY)
        check(len(seen) >= 2, "the failure was not reported before the fallback: %r" % seen)
        wait_readme(w, UPDATED_README)
        set_faults({})

        # Help on the readme page: the archive fetched, unpacked and removed.
        w.click(HELP)
        lines = wait_help_lines(folder, 1)
        help_folder = os.path.join(folder, "_OrvantaInstallData", "_Help", "OrvantaLumetraSDK")
        check(os.path.isfile(os.path.join(help_folder, "index.htm")), "the help was not unpacked")
        check(os.path.isfile(os.path.join(help_folder, "Complete.htm")), "the help topics were not unpacked")
        check(not os.path.exists(os.path.join(folder, "_OrvantaInstallData", "578help.zip")),
              "the help archive was not removed")
        unpacked_at = os.path.getmtime(os.path.join(help_folder, "index.htm"))

        # Help on the complete page: the same viewer or handler, the other topic, no second download.
        go_to_complete(w)
        w.click(HELP)
        lines = wait_help_lines(folder, 2)
        fetched = requests_of(HELP_ARCHIVE) - archive_requests_before
        check(fetched == 1, "the help archive was fetched %d times" % fetched)
        check(os.path.getmtime(os.path.join(help_folder, "index.htm")) == unpacked_at, "the help was unpacked again")
        shown = [line for line in lines if "Help topic" in line]
        check(shown[0].split("Help topic ")[1].split(" ")[0].endswith("index.htm#Page=Readme") and
              shown[1].split("Help topic ")[1].split(" ")[0].endswith("index.htm#Page=Complete"),
              "topics: %r" % shown)
        in_viewer = ["shown in the help viewer" in line for line in shown]
        check(in_viewer[0] == in_viewer[1], "the two requests went to different places: %r" % shown)
        decisions = [line for line in lines if "Help viewer:" in line]
        if in_viewer[0]:
            check(not decisions, "a viewer was rejected: %r" % decisions)
            check(s.driver("wait", VIEWER, 5000)[0] == 0, "the help viewer is not shown")
        else:
            # This Wine: the browser control cannot show a page. Decided once, at the first request.
            check(len(decisions) == 1, "the viewer was tried %d times: %r" % (len(decisions), decisions))
            check(s.driver("count", VIEWER)[1].strip() in ("", "0"), "a help viewer window is shown")
            opened = topics.wait(2)
            check(len(opened) == 2 and opened[0].endswith("OrvantaLumetraSDK/index.htm#Page=Readme") and
                  opened[1].endswith("OrvantaLumetraSDK/index.htm#Page=Complete"),
                  "the topics did not reach the system's handler with their anchors: %r" % opened)
    finally:
        topics.restore()
        s.close_all()


def test_CompleteLinksFollowTheSdkChoice(s):
    serve_everything()
    exe = s.install_copy("complete", RELEASE_NAME)
    sdk = os.path.join(s.work, "sdk")
    os.makedirs(sdk, exist_ok=True)
    with open(os.path.join(sdk, "ReadMe.txt"), "w") as f:
        f.write("SDK read-me\n")
    # The SDK's folder without its product: the links must wait for the SDK box.
    reg("add", SDK_KEY, "/v", "InstallPath", "/d", windows_path(sdk) + "\\", "/f")
    texts = OpenedFiles(s, ".txt")
    try:
        w = Wizard(s, exe)
        go_to_complete(w)
        check(w.state(ID["IDC_SUMMARY_CONFIRMATION"])["visible"], "no confirmation")
        for name in SDK_LINKS:
            check(not w.state(ID[name])["visible"], "%s shows without the SDK" % name)
        check(w.text(2) == "Finish", "the Cancel button does not read Finish")

        # The SDK wanted on the core page: the links appear.
        w.click(ID["IDC_NAV_EXTENSIONS"])
        w.expect(EXTENSIONS)
        w.back(CORE)
        w.click(ID["IDC_CORE_SDK_WANTED"])
        time.sleep(0.5)
        check(w.state(ID["IDC_CORE_SDK_WANTED"])["checked"], "the SDK box did not tick")
        go_to_complete(w)
        for name in SDK_LINKS:
            check(w.state(ID[name])["visible"], "%s is hidden with the SDK wanted" % name)

        # The Runtime is not installed: its link says so with the shell's result.
        check(s.driver("press", w.caption(), ID["IDC_SUMMARY_LINK_CAPTURE"], "sheet")[0] == 0, "no Capture link")
        rc, text = s.driver("messagebox", TITLE, 20000)
        check(rc == 0 and text.strip().startswith("Unable to access the link. Error code - "),
              "the missing Runtime was not reported: %r" % text)
        s.driver("answer", TITLE, 1)
        # The SDK's read-me opens from the folder read at activation.
        check(s.driver("press", w.caption(), ID["IDC_SUMMARY_LINK_README"], "sheet")[0] == 0, "no Readme link")
        opened = texts.wait(1)
        check(opened == [windows_path(os.path.join(sdk, "ReadMe.txt"))], "the SDK's read-me was not opened: %r" % opened)
        check(s.driver("messagebox", TITLE, 1000)[0] != 0, "the read-me link reported a failure")
    finally:
        texts.restore()
        reg("delete", SDK_KEY, "/f")
        s.close_all()


if __name__ == "__main__":
    sys.exit(e2e.main(globals()))
