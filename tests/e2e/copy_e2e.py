#!/usr/bin/env python3
"""End-to-end tests of the installer's offline copy and of the newer installer, on the real program under Wine
against the loopback vendor server.

    copy_e2e.py TEST --exe INSTALLER.exe --driver WizardDriver.exe --work DIR

The vendor tree announces this installer itself; the announcement of a newer one (10.2.1.600) is a variant of the
tree whose addresses are filled in with the server's address when it is served.
"""
import csv
import os
import sys

import e2e
from e2e import RELEASE_NAME, TITLE, check, machine_form, run_cli, wait_until
from wizard_e2e import ID, Wizard, serve_everything

UPGRADE_INFO = "orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaLumetraSDK/578UpgradeInfoLumetraSDK.ini.txt"
NEWER_INSTALLER = "OrvantaLumetraSDK_10_2_1_600_Installer_150101.exe"
NEWER_INSTALLER_PATH = "orvanta/files/InstallerRepositories/Orvanta10.2/600/OrvantaLumetraSDK/" + NEWER_INSTALLER
NEWER_TITLE = "Orvanta Lumetra SDK Version X 10.2.1.600 Installer"
NEW_VERSION_DIALOG = "New Installer Version Available"
HELP_ARCHIVE = "/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaVisionSoftware/578help.zip"
HELP_INDEX = os.path.join("_OrvantaInstallData", "_Help", "OrvantaLumetraSDK", "index.htm")
DATA = "_OrvantaInstallData"
SPECCY = "Speccy v1.25"


def serve_newer_installer():
    """The server announces the newer installer, with the addresses of this server."""
    source = os.path.join(os.environ["INSTALLER_FIXTURES"], "server", "_variants", "upgrade", UPGRADE_INFO)
    with open(source, newline="") as f:
        text = f.read().replace("@SERVER@", os.environ["INSTALLER_VENDOR_URL"])
    target = os.path.join(os.environ["INSTALLER_VENDOR_ROOT"], UPGRADE_INFO)
    with open(target, "w", newline="") as f:
        f.write(text)


def requested_files():
    """The files asked for since the log was emptied, without checksum files (decoded paths)."""
    paths = set()
    with open(os.environ["INSTALLER_VENDOR_LOG"], encoding="latin-1") as f:
        for line in f:
            parts = line.split("\t")[0].split(" ")
            if len(parts) >= 3 and parts[0] == "GET":
                path = " ".join(parts[1:-1]).replace("%20", " ")
                if not path.endswith(".sha256"):
                    paths.add(path)
    return paths


def clear_request_log():
    open(os.environ["INSTALLER_VENDOR_LOG"], "w").close()


def catalogue_files():
    """Every installer file of the wizard's tree on this machine (its 32-bit or 64-bit forms): (server path, local
    path under the data folder)."""
    with open(os.path.join(os.environ["INSTALLER_FIXTURES"], "server-work", "catalogue.tsv"), newline="") as f:
        rows = list(csv.DictReader(f, delimiter="\t", quoting=csv.QUOTE_NONE))
    files = set()
    for row in rows:
        if row["page"] in ("PrerequisitesStatus", "Help") or row["form"] not in ("-", machine_form()):
            continue
        local = os.path.join(*[p for p in row["subFolder"].split("\\") if p], row["fileName"])
        files.add((row["serverPath"] + row["fileName"], local))
    return files


def test_CopyNewVersionIsAnnouncedAndLandsInTheCopiesFolder(s):
    serve_everything()
    serve_newer_installer()
    exe = s.install_copy("newversion", RELEASE_NAME)
    folder = os.path.dirname(exe)
    w = Wizard(s, exe)
    try:
        link, icon = ID["IDC_WELCOME_NEW_VERSION_LINK"], ID["IDC_WELCOME_NEW_VERSION_ICON"]
        wait_until(lambda: w.state(icon)["visible"], 60, "the welcome page shows no new-version icon")
        check(w.text(link) == "New Installer Version 10.2.1.600 Available" and w.state(link)["visible"],
              "the link shows %r" % w.text(link))

        w.click(icon)
        # Every text of the dialog at once, in the template's order.
        rc, out = s.driver("texts", NEW_VERSION_DIALOG, 20000, "any")
        check(rc == 0, "the icon opens no new-version dialog")
        texts = out.split("\x1e")
        check(TITLE in texts and NEWER_TITLE in texts, "the versions are not shown: %r" % texts)
        check(texts.index(TITLE) < texts.index(NEWER_TITLE), "current and new version swapped: %r" % texts)
        notes = [t for t in texts if "Offline copies keep every component." in t]
        check(len(notes) == 1 and "rtf1" not in notes[0], "the release notes are not shown as text: %r" % texts)

        check(s.driver("click", NEW_VERSION_DIALOG, e2e.IDOK, "any")[0] == 0, "no Download button")
        rc, text = s.driver("messagebox", TITLE, 60000)
        check(rc == 0, "no message after the download")
        copies = os.path.join(folder, "_OrvantaInstallers")
        expected = ("Successfully downloaded the new installer version 10.2.1.600.\n%s\\%s\n\nPlease go to the 'Home' "
                    "page of this wizard and select the new installer version 10.2.1.600 to switch to the new "
                    "installer." % (e2e.windows_path(copies), NEWER_INSTALLER))
        check(text.lower() == expected.lower(), "the message says %r" % text)
        s.driver("answer", TITLE, e2e.IDOK)
        with open(os.path.join(copies, NEWER_INSTALLER), "rb") as got, \
                open(os.path.join(os.environ["INSTALLER_VENDOR_ROOT"], NEWER_INSTALLER_PATH), "rb") as served:
            check(got.read() == served.read(), "the new installer in the copies folder differs from the server's")
        check(os.path.isfile(exe), "the running installer's program is gone")
    finally:
        s.close_all()


def test_CopyLayoutMakesAnOfflineCopyThatInstallsWithoutTheServer(s):
    serve_everything()
    exe = s.install_copy("layout", RELEASE_NAME)
    folder = os.path.dirname(exe)
    data = os.path.join(folder, DATA)

    # Only the help files: the help archive is the one file asked for, and it is unpacked.
    clear_request_log()
    rc, out, err = run_cli(s, exe, "/layout", "help files", "/quiet")
    check(rc == e2e.EXIT_SUCCESS, "/layout \"help files\" ended with %d: %s %s" % (rc, out, err))
    check(requested_files() - {"/" + UPGRADE_INFO} == {HELP_ARCHIVE}, "asked for %s" % sorted(requested_files()))
    check(os.path.isfile(os.path.join(folder, HELP_INDEX)), "the help was not unpacked")
    others = [e for e in os.listdir(data) if e not in ("Logs", "_Help") and not e.endswith(".sha256")]
    check(not others, "the data folder holds more than the help: %s" % others)

    # Everything: every installer of the tree lands in its folder below the data folder, as the server has it.
    rc, out, err = run_cli(s, exe, "/layout", "/quiet")
    check(rc == e2e.EXIT_SUCCESS, "/layout ended with %d: %s %s" % (rc, out, err))
    missing = []
    for server_path, local in sorted(catalogue_files()):
        target = os.path.join(data, local)
        source = os.path.join(os.environ["INSTALLER_VENDOR_ROOT"], server_path.lstrip("/"))
        if not os.path.isfile(target) or os.path.getsize(target) != os.path.getsize(source):
            missing.append(local)
    check(not missing, "not in the offline copy: %s" % ", ".join(missing))
    check(os.path.isfile(os.path.join(folder, HELP_INDEX)), "the help is gone after the full layout")

    # Offline: nothing listens at the server's address, and a row still installs from the copy.
    try:
        rc, out, err = run_cli(s, exe, "/install", SPECCY, "/quiet", server=os.environ["INSTALLER_VENDOR_DEAD_URL"])
        # The run judges its rows by probing the machine afterwards: 0 means the row shows "Installed".
        check(rc == e2e.EXIT_SUCCESS, "installing from the offline copy ended with %d: %s %s" % (rc, out, err))
    finally:
        run_cli(s, exe, "/uninstall", SPECCY, "/quiet")


# --- The selection tree of "Create Installer Copy", driven as a person does ---

SELECT_DIALOG = "Select Installer Components"
HELP_ITEM = "Help Files>Help Files"  # the help archive's entry, below its category of the same name
TUTORIALS_ITEM = "Tutorials>Orvanta Lumetra SDK Tutorials"


def test_CopyTreeSelectsOnlyTheHelpFiles(s):
    serve_everything()
    exe = s.install_copy("tree", RELEASE_NAME)
    folder = os.path.dirname(exe)
    w = Wizard(s, exe)
    try:
        def tree_state(item):
            rc, out = s.driver("treestate", SELECT_DIALOG, item)
            check(rc == 0, "the tree has no item %r" % item)
            return out.strip()

        def tree_shows(expected, what):
            # The dialog spreads a toggle to the other boxes after the control has changed the one clicked.
            wait_until(lambda: all(tree_state(item) == "checked=%d" % c for item, c in expected.items()), 5,
                       "%s: %s" % (what, {item: tree_state(item) for item in expected}))

        w.click(ID["IDC_WELCOME_CREATE_COPY"])
        check(s.driver("wait", SELECT_DIALOG, 20000, "any")[0] == 0, "the button opens no selection tree")
        # The items open with their choice (all of them), the boxes above them unchecked until a toggle.
        tree_shows({"All": 0, "Help Files": 0, HELP_ITEM: 1, TUTORIALS_ITEM: 1}, "the tree opens with")
        check(s.driver("treecheck", SELECT_DIALOG, "All", 1)[0] == 0, "\"All\" cannot be checked")
        tree_shows({"All": 1, "Help Files": 1, HELP_ITEM: 1, "Tutorials": 1, TUTORIALS_ITEM: 1},
                   "checking \"All\" leaves boxes unchecked")

        # Nothing selected: the dialog says so and stays.
        check(s.driver("treecheck", SELECT_DIALOG, "All", 0)[0] == 0, "\"All\" cannot be cleared")
        tree_shows({"All": 0, "Help Files": 0, HELP_ITEM: 0, "Tutorials": 0, TUTORIALS_ITEM: 0},
                   "clearing \"All\" leaves boxes checked")
        check(s.driver("click", SELECT_DIALOG, e2e.IDOK, "any")[0] == 0, "no Select button")
        rc, text = s.driver("messagebox", TITLE, 20000)
        check(rc == 0 and text == "Please select at least one component to download.",
              "selecting nothing says %r" % text)
        s.driver("answer", TITLE, e2e.IDOK)
        check(s.wait_count("messagebox", 0, 10), "the message stays open")
        check(s.driver("wait", SELECT_DIALOG, 2000, "any")[0] == 0, "the dialog closed with nothing selected")

        # Only the help files: their category follows, "All" does not.
        check(s.driver("treecheck", SELECT_DIALOG, HELP_ITEM, 1)[0] == 0, "the help files cannot be checked")
        tree_shows({HELP_ITEM: 1, "Help Files": 1, "All": 0, TUTORIALS_ITEM: 0},
                   "checking the help files alone shows")

        clear_request_log()
        check(s.driver("click", SELECT_DIALOG, e2e.IDOK, "any")[0] == 0, "no Select button")
        wait_until(lambda: os.path.isfile(os.path.join(folder, HELP_INDEX)), 120, "the help was not unpacked")
        check(s.driver("count", SELECT_DIALOG, "any")[1].strip() == "0", "the dialog stays open after Select")
        check(requested_files() - {"/" + UPGRADE_INFO} == {HELP_ARCHIVE}, "asked for %s" % sorted(requested_files()))
        data = os.path.join(folder, DATA)
        others = [e for e in os.listdir(data) if e not in ("Logs", "_Help") and not e.endswith(".sha256")]
        check(not others, "the data folder holds more than the help: %s" % others)
    finally:
        s.close_all()


if __name__ == "__main__":
    sys.exit(e2e.main(globals()))
