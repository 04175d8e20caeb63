#!/usr/bin/env python3
"""End-to-end tests of how the real program downloads: a broken transfer (the connection cut, the program
killed) resumed where it stopped, a file that does not match its published checksum refused, and the checksum
file kept beside a checked download. The
program runs under Wine on its command line against the loopback vendor server, whose byte log shows what
each answer actually sent.

    downloads_e2e.py TEST --exe INSTALLER.exe --driver WizardDriver.exe --work DIR
"""
import os
import subprocess
import sys

import e2e
from e2e import (EXIT_FAILURE, EXIT_SUCCESS, RELEASE_NAME, SPECCY, SPECCY_SETUP, check, read_text,
                 run_cli, run_logs, serve, set_faults, statuses, wait_until)

TEAMVIEWER = "Orvanta TeamViewer 8 Host.exe"
TEAMVIEWER_SETUP = "orvanta/files/InstallerDownloads/_Installers3rdParty/TeamViewer/Orvanta_TeamViewer_8_Host_Setup.exe"
ARRIVED_DAMAGED = ("The file arrived damaged: it does not match the checksum published beside it on the server, "
                   "and was deleted")
CHECKSUM_MISMATCH = "Download does not match its SHA-256 checksum file, deleted: "
# Beside a download in progress: the partial body and the record of what it can be resumed against.
TEMPORARY, RESUME_RECORD, CHECKSUM = "tmp", "tmp.resume", ".sha256"


def bytes_sent(path):
    """(status, body bytes) of every answer the server gave for path, in order."""
    answers = []
    with open(os.environ["INSTALLER_VENDOR_BYTES_LOG"], encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if len(fields) == 3 and fields[0] == path:
                answers.append((int(fields[1]), int(fields[2])))
    return answers


def data_files(folder, name):
    """Every file in the installer's data folder whose name starts with name: {file name: full path}."""
    found = {}
    for root, _, files in os.walk(os.path.join(folder, "_OrvantaInstallData")):
        for f in files:
            if f.startswith(name):
                found[f] = os.path.join(root, f)
    return found


def served(path):
    return os.path.join(os.environ["INSTALLER_VENDOR_ROOT"], path)


def kill_mid_transfer(exe, folder, setup, row):
    """Starts /install of row while the server holds setup's body at half, and kills the program once that
    half is on disk. Returns the number of bytes the partial file holds."""
    size = os.path.getsize(served(setup))
    name = os.path.basename(setup)
    earlier = len(bytes_sent("/" + setup))
    set_faults({"/" + setup: {"stall": size // 2, "hold": 60}})
    env = dict(os.environ)
    env["ORVANTA_INSTALLER_SERVER"] = os.environ["INSTALLER_VENDOR_URL"]
    run = subprocess.Popen(["wine", exe, "/install", row, "/quiet"], stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    try:
        partial = lambda: data_files(folder, name).get(name + TEMPORARY)
        wait_until(lambda: bytes_sent("/" + setup)[earlier:] == [(200, size // 2)], 90,
                   "the server never sent the first half: %r" % bytes_sent("/" + setup)[earlier:])
        wait_until(lambda: partial() and os.path.getsize(partial()) == size // 2, 30,
                   "the first half never reached the partial file")
        check(run.poll() is None, "the program ended on its own during the stalled transfer")
    finally:
        run.kill()
        run.wait(30)
    set_faults({})
    return os.path.getsize(partial())


def test_DownloadsResumeAfterACutAndRefuseADamagedFile(s):
    exe = s.install_copy("downloads", RELEASE_NAME)
    folder = os.path.dirname(exe)
    serve([SPECCY_SETUP, SPECCY_SETUP + CHECKSUM, TEAMVIEWER_SETUP, TEAMVIEWER_SETUP + CHECKSUM])
    speccy_name = os.path.basename(SPECCY_SETUP)
    size = os.path.getsize(served(SPECCY_SETUP))
    # The server's log holds the answers of the tests before this one too.
    earlier = len(bytes_sent("/" + SPECCY_SETUP))
    try:
        # The body is cut at half: the run fails, its partial file and resume record stay for the next run.
        set_faults({"/" + SPECCY_SETUP: {"cut": size // 2}})
        rc, out, err = run_cli(s, exe, "/install", SPECCY, "/quiet", timeout=120)
        check(rc == EXIT_FAILURE, "/install with a cut body ended with %d, not 1603: %s %s" % (rc, out, err))
        left = data_files(folder, speccy_name)
        check(sorted(left) == [speccy_name + TEMPORARY, speccy_name + RESUME_RECORD],
              "after the cut the data folder holds %r" % sorted(left))
        partial = os.path.getsize(left[speccy_name + TEMPORARY])
        check(0 < partial < size, "the partial file has %d of %d bytes" % (partial, size))
        first = bytes_sent("/" + SPECCY_SETUP)[earlier:]
        check(first == [(200, size // 2)], "the first transfer: %r" % first)

        # Without the fault the next run asks for the rest only and installs.
        set_faults({})
        rc, out, err = run_cli(s, exe, "/install", SPECCY, "/quiet", timeout=120)
        check(rc == EXIT_SUCCESS, "/install after the cut ended with %d: %s %s" % (rc, out, err))
        second = bytes_sent("/" + SPECCY_SETUP)[earlier + len(first):]
        check(second == [(206, size - partial)], "the resumed transfer sent %r, not the last %d bytes"
              % (second, size - partial))
        kept = data_files(folder, speccy_name)
        check(sorted(kept) == [speccy_name, speccy_name + CHECKSUM], "after the resume: %r" % sorted(kept))
        with open(kept[speccy_name], "rb") as mine, open(served(SPECCY_SETUP), "rb") as theirs:
            check(mine.read() == theirs.read(), "the resumed file differs from the served one")
        # The checked download keeps its checksum file beside it, as the server published it.
        check(read_text(kept[speccy_name + CHECKSUM]) == read_text(served(SPECCY_SETUP + CHECKSUM)),
              "the kept checksum file differs: %r" % read_text(kept[speccy_name + CHECKSUM]))

        # A checksum that does not match the file: refused, nothing left, the row not installed.
        with open(served(TEAMVIEWER_SETUP + CHECKSUM), "w") as f:
            f.write("%s  %s\n" % ("0" * 64, os.path.basename(TEAMVIEWER_SETUP)))
        rc, out, err = run_cli(s, exe, "/install", TEAMVIEWER, "/quiet", timeout=120)
        check(rc == EXIT_FAILURE, "/install of a damaged file ended with %d, not 1603: %s %s" % (rc, out, err))
        check(ARRIVED_DAMAGED in err, "nothing said about the damaged file: %r" % err)
        logs = [t for t in run_logs(folder) if "Command line request: /install " + TEAMVIEWER in t]
        check(len(logs) == 1 and CHECKSUM_MISMATCH in logs[0] and TEAMVIEWER_SETUP in logs[0]
              and ARRIVED_DAMAGED in logs[0], "the run log has no refused checksum:\n%s" % "".join(logs))
        check("Command program" not in logs[0], "the damaged setup was started:\n%s" % logs[0])
        left = data_files(folder, os.path.basename(TEAMVIEWER_SETUP))
        check(left == {}, "the damaged download left %r" % sorted(left))
        after = statuses(s, exe)
        check(after[("Utilities2", TEAMVIEWER)] == "Not Installed", "the damaged file was installed: %r" % after)
        check(after[("Utilities2", SPECCY)] == "Installed", "the resumed download was not installed: %r" % after)

        # The program killed in the middle of a transfer: the next run resumes it all the same.
        serve([TEAMVIEWER_SETUP + CHECKSUM])
        teamviewer_name = os.path.basename(TEAMVIEWER_SETUP)
        teamviewer_size = os.path.getsize(served(TEAMVIEWER_SETUP))
        partial = kill_mid_transfer(exe, folder, TEAMVIEWER_SETUP, TEAMVIEWER)
        left = data_files(folder, teamviewer_name)
        check(sorted(left) == [teamviewer_name + TEMPORARY, teamviewer_name + RESUME_RECORD],
              "after the kill the data folder holds %r" % sorted(left))
        earlier = len(bytes_sent("/" + TEAMVIEWER_SETUP))
        rc, out, err = run_cli(s, exe, "/install", TEAMVIEWER, "/quiet", timeout=120)
        check(rc == EXIT_SUCCESS, "/install after the kill ended with %d: %s %s" % (rc, out, err))
        resumed = bytes_sent("/" + TEAMVIEWER_SETUP)[earlier:]
        check(resumed == [(206, teamviewer_size - partial)], "the transfer after the kill sent %r, not the last %d "
              "bytes" % (resumed, teamviewer_size - partial))
        with open(data_files(folder, teamviewer_name)[teamviewer_name], "rb") as mine, \
                open(served(TEAMVIEWER_SETUP), "rb") as theirs:
            check(mine.read() == theirs.read(), "the file resumed after the kill differs from the served one")
        check(statuses(s, exe)[("Utilities2", TEAMVIEWER)] == "Installed", "TeamViewer was not installed")
    finally:
        set_faults({})
        run_cli(s, exe, "/uninstall", SPECCY, TEAMVIEWER, "/quiet")


if __name__ == "__main__":
    sys.exit(e2e.main(globals()))
