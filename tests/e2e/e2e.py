#!/usr/bin/env python3
"""End-to-end tests of the installer: the real program under Wine, driven through its windows by
WizardDriver.exe, as a person would use it.

    e2e.py TEST --exe INSTALLER.exe --driver WizardDriver.exe --work DIR

Runs inside tools/with-wine.sh (a display, WINEPREFIX and a running wineserver). The output of Wine programs is
always redirected to files: a pipe would be inherited by Wine's services and never reach its end.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import time
import traceback

TITLE = "Orvanta Lumetra SDK Version X 10.2.1.578 Installer"
# The wizard's caption is the shown page's title; the wizard opens on the welcome page.
WELCOME = TITLE + " - Welcome to Orvanta Lumetra Version X 10.2.1.578 SDK System Management"
RELEASE_NAME = "OrvantaLumetraSDK_10_2_1_578_Installer_140411.exe"
SECOND_INSTANCE = ("Error: Another instance of the installer is already running. Unable to load the second "
                   "instance.\n\nPlease close all other instances of the installer application and try again.\n\n")
IDOK = 1


class Session:
    def __init__(self, args):
        self.exe = args.exe
        self.driver_exe = args.driver
        self.work = args.work
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.programs = []
        self.counter = 0

    def _out(self, stem):
        self.counter += 1
        return os.path.join(self.work, "%02d-%s" % (self.counter, stem))

    def driver(self, *args, timeout=60):
        """Runs one driver command; returns (exit code, what it printed). The driver itself ends with 0, 1 or 2;
        any other code means Wine could not start it or it died, and the command is tried again (twice at most)
        before that code is returned."""
        for attempt in range(3):
            out = self._out("driver.txt")
            with open(out, "wb") as f, open(out + ".err", "wb") as err:
                rc = subprocess.run(["wine", self.driver_exe, *map(str, args)], stdin=subprocess.DEVNULL,
                                    stdout=f, stderr=err, timeout=timeout).returncode
            with open(out + ".err", "rb") as f:
                # What the driver said of a failed look-up, for the failure's message.
                self.driver_said = "exit %d: %s" % (rc, f.read().decode("latin-1").strip())
            if rc in (0, 1, 2):
                break
            print("the driver did not run (%s); %s" % (self.driver_said, "again" if attempt < 2 else "giving up"))
            time.sleep(1)
        with open(out, "rb") as f:
            return rc, f.read().decode("latin-1").replace("\r\n", "\n")

    def install_copy(self, folder, name):
        target_dir = os.path.join(self.work, folder)
        os.makedirs(target_dir, exist_ok=True)
        target = os.path.join(target_dir, name)
        shutil.copy(self.exe, target)
        return target

    def start(self, path):
        name = self._out("program.log")
        log = open(name, "wb")
        p = subprocess.Popen(["timeout", "240", "wine", path], stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        p.log_name = name
        self.programs.append(p)
        return p

    def report_programs(self):
        """What became of the programs a failed test started: running or ended, and the end of what Wine said."""
        for p in self.programs:
            state = "running" if p.poll() is None else "ended with %d" % p.returncode
            print("program %s: %s" % (os.path.basename(p.log_name), state))
            with open(p.log_name, "rb") as f:
                for line in f.read().decode("latin-1").splitlines()[-15:]:
                    print("  " + line)

    def count(self, kind):
        rc, out = self.driver("count", WELCOME if kind == "sheet" else TITLE, kind)
        check(rc == 0, "driver count failed")
        return int(out.strip() or "0")

    def wait_count(self, kind, expected, seconds=30):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if self.count(kind) == expected:
                return True
            time.sleep(0.3)
        return False

    def close_all(self):
        for _ in range(10):
            if all(p.poll() is not None for p in self.programs):
                break
            self.driver("close", TITLE, "any", timeout=20)
            rc, caption = self.driver("caption", "sheet", 500, timeout=20)
            if rc == 0 and caption.strip():
                self.driver("close", caption.strip(), "sheet", timeout=20)
            time.sleep(0.5)
        for p in self.programs:
            try:
                p.wait(timeout=20)
            except subprocess.TimeoutExpired:
                # SIGTERM reaches the program through the `timeout` wrapper; killing the wrapper would leave the
                # Wine process, and its single-instance lock, behind for the next start.
                p.terminate()
                try:
                    p.wait(timeout=30)
                except subprocess.TimeoutExpired:
                    p.kill()


def nothing_but_logs(folder):
    """The folder holds the installer and, in its data folder, the run logs only."""
    data = os.path.join(folder, "_OrvantaInstallData")
    entries = sorted(os.listdir(folder))
    if entries == [RELEASE_NAME]:
        return True
    return entries == sorted([RELEASE_NAME, "_OrvantaInstallData"]) and os.listdir(data) == ["Logs"]


def run_logs(folder):
    """The texts of the run logs in the installer's data folder, oldest first."""
    logs = os.path.join(folder, "_OrvantaInstallData", "Logs")
    texts = []
    for name in sorted(os.listdir(logs)) if os.path.isdir(logs) else []:
        with open(os.path.join(logs, name), "rb") as f:
            texts.append(f.read().decode("latin-1"))
    return texts


class Failure(Exception):
    pass


def machine_is_64bit():
    """Whether the test's Wine prefix is a 64-bit Windows (the 32-bit program then runs under WOW64)."""
    return os.path.isdir(os.path.join(os.environ["WINEPREFIX"], "drive_c", "windows", "syswow64"))


def machine_form():
    """The form of the rows with a 32-bit and a 64-bit form that this machine shows: "32" or "64"."""
    return "64" if machine_is_64bit() else "32"


def check(condition, message):
    if not condition:
        raise Failure(message)


def test_SecondInstanceIsRefused(s):
    first = s.start(s.install_copy("first", RELEASE_NAME))
    check(s.driver("wait", WELCOME, 60000, "sheet")[0] == 0, "the first instance did not open its wizard")

    # The same release name in another folder is a second instance.
    second = s.start(s.install_copy("second", RELEASE_NAME))
    rc, text = s.driver("messagebox", TITLE, 60000)
    check(rc == 0, "the second instance showed no message box")
    check(text == SECOND_INSTANCE, "unexpected message text: %r" % text)
    check(s.driver("answer", TITLE, IDOK)[0] == 0, "could not answer the message box")
    try:
        second.wait(timeout=30)
    except subprocess.TimeoutExpired:
        raise Failure("the second instance did not end after its message")
    check(first.poll() is None, "the first instance ended")
    check(s.count("sheet") == 1, "the second instance opened a wizard")

    # A copy under another file name is not counted and opens its own wizard.
    s.start(s.install_copy("copy", "Copy of the installer.exe"))
    check(s.wait_count("sheet", 2), "the renamed copy did not open its wizard")
    check(s.count("messagebox") == 0, "the renamed copy was refused")


def test_LeftoverTestFileIsRemovedAtStart(s):
    exe = s.install_copy("leftover", RELEASE_NAME)
    leftover = os.path.join(os.path.dirname(exe), "testFile.txt")
    with open(leftover, "w") as f:
        f.write("left behind by a crash")
    os.chmod(leftover, 0o444)  # Wine shows this as the read-only attribute
    s.start(exe)
    check(s.driver("wait", WELCOME, 60000, "sheet")[0] == 0, "the installer did not open its wizard")
    check(not os.path.exists(leftover), "the leftover test file is still there")
    check(nothing_but_logs(os.path.dirname(exe)), "the write test left files behind: %r"
          % os.listdir(os.path.dirname(exe)))


# ---- The unattended command line ---------------------------------------------------------------------------
# Linux sees a Windows exit code modulo 256.
EXIT_SUCCESS, EXIT_BAD_ARGUMENTS, EXIT_FAILURE, EXIT_ANOTHER_INSTANCE = 0, 87, 1603 % 256, 1618 % 256
EXIT_CANCELLED, EXIT_RESTART_REQUIRED, EXIT_RESTART_INITIATED = 1602 % 256, 3010 % 256, 1641 % 256
SPECCY = "Speccy v1.25"
SPECCY_SETUP = "orvanta/files/InstallerDownloads/_Installers3rdParty/Piriform/spsetup125.exe"
SPECCY_KEY = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Speccy"
UTILITIES2_FILES = [
    "orvanta/files/InstallerDownloads/_Installers3rdParty/TightVNC/tightvnc-2.6.4-setup-64bit.msi",
    "orvanta/files/InstallerDownloads/_Installers3rdParty/TightVNC/tightvnc-2.6.4-setup-32bit.msi",
    "orvanta/files/InstallerDownloads/_Installers3rdParty/TeamViewer/Orvanta_TeamViewer_8_Host_Setup.exe",
    "orvanta/files/InstallerDownloads/_Installers3rdParty/Piriform/spsetup125.exe",
]


def serve(paths):
    """Copies stand-in files from the generated server tree into the tree the loopback server serves."""
    source = os.path.join(os.environ["INSTALLER_FIXTURES"], "server")
    for path in paths:
        target = os.path.join(os.environ["INSTALLER_VENDOR_ROOT"], path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copy(os.path.join(source, path), target)


def serve_variant(variant, path):
    """Serves a setup that behaves differently (see tests/fixtures/generators/server.py) in place of the usual,
    with its own checksum file."""
    source = os.path.join(os.environ["INSTALLER_FIXTURES"], "server", "_variants", variant, path)
    target = os.path.join(os.environ["INSTALLER_VENDOR_ROOT"], path)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    shutil.copy(source, target)
    shutil.copy(source + ".sha256", target + ".sha256")


def reg(*args):
    """Runs Wine's reg tool on the prefix; the finished process, its output captured."""
    return subprocess.run(["timeout", "60", "wine", "reg", *args], stdin=subprocess.DEVNULL, capture_output=True)


def wine_reg(*args):
    return reg(*args).returncode


def set_faults(rules):
    """The loopback vendor server's fault rules from now on (see tools/vendor_server.py); {} for none."""
    with open(os.environ["INSTALLER_VENDOR_FAULTS"], "w") as f:
        json.dump(rules, f)


def requests_of(path):
    """How many GET requests for path the vendor server's request log holds."""
    with open(os.environ["INSTALLER_VENDOR_LOG"], encoding="latin-1") as f:
        return sum(1 for line in f if line.split("\t")[0].split(" ")[:2] == ["GET", path])


def wait_until(condition, seconds, what):
    """Polls condition until it holds; fails with what when it does not within the time."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        if condition():
            return
        time.sleep(0.2)
    if not condition():
        raise Failure(what)


def read_text(path):
    with open(path, "rb") as f:
        return f.read().decode("latin-1")


def run_cli(s, exe, *args, server=None, timeout=240):
    """Runs the installer with a command line; returns (exit code, standard output, standard error)."""
    env = dict(os.environ)
    env["ORVANTA_INSTALLER_SERVER"] = server or os.environ["INSTALLER_VENDOR_URL"]
    out = s._out("cli.txt")
    with open(out, "wb") as f, open(out + ".err", "wb") as err:
        rc = subprocess.run(["timeout", str(timeout), "wine", exe, *args], stdin=subprocess.DEVNULL, stdout=f,
                            stderr=err, env=env).returncode
    with open(out, "rb") as f, open(out + ".err", "rb") as err:
        return rc, f.read().decode("latin-1"), err.read().decode("latin-1")


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def statuses(s, exe):
    """The installer's /status /json, parsed: status by (page, display name)."""
    report = s._out("status.json")
    rc, _, err = run_cli(s, exe, "/status", "/json", "/out", windows_path(report))
    check(rc == EXIT_SUCCESS, "/status ended with %d: %s" % (rc, err))
    with open(report, encoding="latin-1") as f:
        rows = json.load(f)
    return {(r["page"], r["displayName"]): r["status"] for r in rows}


def test_CommandLineStatusIsOneJsonDocument(s):
    exe = s.install_copy("status", RELEASE_NAME)
    rc, out, err = run_cli(s, exe, "/status", "/json")
    check(rc == EXIT_SUCCESS, "/status /json ended with %d: %s" % (rc, err))
    try:
        rows = json.loads(out)
    except ValueError as e:
        raise Failure("the output is not one JSON document (%s): %r" % (e, out[:300]))
    pages = {r["page"] for r in rows}
    check({"Prerequisites", "CoreComponents", "Utilities2", "IOSystem"} <= pages, "pages missing: %r" % pages)
    check(all(r["status"] == "Not Installed" for r in rows if r["page"] == "Utilities2"),
          "a clean prefix shows a utility installed: %r" % rows)
    check(statuses(s, exe) == {(r["page"], r["displayName"]): r["status"] for r in rows},
          "/out holds another report than the console")


def test_CommandLineInstallsAPageAndRemovesARow(s):
    exe = s.install_copy("install", RELEASE_NAME)
    serve(UTILITIES2_FILES)
    before = statuses(s, exe)
    page = sorted(name for (p, name) in before if p == "Utilities2")
    check(len(page) == 3 and all(before[("Utilities2", n)] == "Not Installed" for n in page),
          "the prefix is not clean: %r" % before)
    try:
        rc, out, err = run_cli(s, exe, "/install", "utilities2", "/quiet")
        check(rc == EXIT_SUCCESS, "/install ended with %d: %s %s" % (rc, out, err))
        after = statuses(s, exe)
        check(all(after[("Utilities2", n)] == "Installed" for n in page), "not all installed: %r" % after)
        check(s.count("any") == 0, "/quiet showed a window")
        logs = [t for t in run_logs(os.path.dirname(exe)) if "Command line request: /install utilities2" in t]
        check(len(logs) == 1, "no run log of the install run: %r" % run_logs(os.path.dirname(exe)))
        url = UTILITIES2_FILES[3]
        check(any("  Download http://" in line and url + " -> status 200, bytes " in line
                  for line in logs[0].splitlines()), "the log has no download of %s:\n%s" % (url, logs[0]))
        check("spsetup125.exe\" command line \"" in logs[0] and "-> exit code " in logs[0],
              "the log has no installer command line:\n%s" % logs[0])

        rc, out, err = run_cli(s, exe, "/uninstall", "SPECCY V1.25", "/quiet")
        check(rc == EXIT_SUCCESS, "/uninstall ended with %d: %s %s" % (rc, out, err))
        after = statuses(s, exe)
        check(after[("Utilities2", "Speccy v1.25")] == "Not Installed", "Speccy is still there: %r" % after)
        check(all(after[("Utilities2", n)] == "Installed" for n in page if n != "Speccy v1.25"),
              "the removal took more than its row: %r" % after)
    finally:
        run_cli(s, exe, "/uninstall", "Utilities2", "/quiet")
    check(all(statuses(s, exe)[("Utilities2", n)] == "Not Installed" for n in page), "the clean-up failed")


# The camera drivers whose 64-bit setups register their uninstaller under "InstallShield_" + product code: in the
# machine's 64-bit view, where the 32-bit program sees it only when it asks for that view.
SIXTY_FOUR_BIT_SETUPS = [
    ("ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit", "{F65FE148-FCF5-42F7-8803-FA0B7DA8B8A4}",
     "orvanta/files/InstallerDownloads/_Installers3rdParty/ubCore/ubCorePro64_112912.exe"),
    ("Fire-i Application 4.0 - 64 bit", "{7FC31537-1378-4B54-9BB6-1F43F4C6AE46}",
     "orvanta/files/InstallerDownloads/_Installers3rdParty/Firei/FireiSetupX64_112912.exe"),
]
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"


def test_CommandLineRemovesA64BitProductFromItsKeyInThe64BitView(s):
    check(machine_is_64bit(), "this test needs a 64-bit prefix")
    exe = s.install_copy("view64", RELEASE_NAME)
    serve([path for _, _, path in SIXTY_FOUR_BIT_SETUPS])
    try:
        for name, code, _ in SIXTY_FOUR_BIT_SETUPS:
            rc, out, err = run_cli(s, exe, "/install", name, "/quiet")
            check(rc == EXIT_SUCCESS, "/install %s ended with %d: %s %s" % (name, rc, out, err))
            key = UNINSTALL_KEY + "\\InstallShield_" + code
            # Where a real 64-bit setup writes it, and nowhere the program would see it by default.
            check(reg("query", key, "/v", "UninstallString", "/reg:64").returncode == 0, "no %s in the 64-bit view" % key)
            check(reg("query", key, "/reg:32").returncode != 0, "%s is in the 32-bit view" % key)
            check(statuses(s, exe)[("ThirdPartySoftwares", name)] == "Installed", "%s is not installed" % name)

            rc, out, err = run_cli(s, exe, "/uninstall", name, "/quiet")
            check(rc == EXIT_SUCCESS, "/uninstall %s ended with %d: %s %s" % (name, rc, out, err))
            check(statuses(s, exe)[("ThirdPartySoftwares", name)] == "Not Installed", "%s is still installed" % name)
            check(reg("query", key, "/reg:64").returncode != 0, "%s is still registered" % key)
    finally:
        for name, _, _ in SIXTY_FOUR_BIT_SETUPS:
            run_cli(s, exe, "/uninstall", name, "/quiet")


def test_CommandLineRefusesBadArguments(s):
    exe = s.install_copy("arguments", RELEASE_NAME)
    no_folder = windows_path(os.path.join(s.work, "no such folder", "run.log"))
    for args in (["/install", "No Such Component", "/quiet"], ["/install", "Speccy v1.25", "/bogus"],
                 ["/uninstall"], ["Speccy v1.25"], ["/repair", "/log"], ["/repair", "/json"],
                 ["/repair", "Speccy v1.25", "/quiet", "/log", no_folder]):
        rc, out, err = run_cli(s, exe, *args)
        check(rc == EXIT_BAD_ARGUMENTS, "%r ended with %d, not 87: %s" % (args, rc, err))
        check(err.strip() != "", "%r said nothing about why" % args)
    check("Unable to write the run log to: " + no_folder in err, "no reason for the refused log: %r" % err)
    rc, out, _ = run_cli(s, exe, "/?")
    check(rc == EXIT_SUCCESS and "/install <name>..." in out, "/? printed no usage: %d %r" % (rc, out))
    check(nothing_but_logs(os.path.dirname(exe)), "a refused line left files: %r"
          % os.listdir(os.path.dirname(exe)))


def test_CommandLineRefusedWhileTheWizardIsOpen(s):
    s.start(s.install_copy("wizard", RELEASE_NAME))
    check(s.driver("wait", WELCOME, 60000, "sheet")[0] == 0, "the wizard did not open")
    exe = s.install_copy("unattended", RELEASE_NAME)
    serve(UTILITIES2_FILES)
    rc, out, err = run_cli(s, exe, "/install", "Speccy v1.25", "/quiet")
    check(rc == EXIT_ANOTHER_INSTANCE, "/install beside the wizard ended with %d, not 1618: %s" % (rc, err))
    check(s.count("messagebox") == 0, "a message box appeared")
    check(nothing_but_logs(os.path.dirname(exe)), "something was downloaded")


def test_CommandLineFailsWhenTheServerIsDown(s):
    exe = s.install_copy("down", RELEASE_NAME)
    rc, out, err = run_cli(s, exe, "/install", "Speccy v1.25", "/quiet", server=os.environ["INSTALLER_VENDOR_DEAD_URL"])
    check(rc == EXIT_FAILURE, "/install without a server ended with %d, not 1603: %s %s" % (rc, out, err))
    check(s.count("any") == 0, "/quiet showed a window")
    check(statuses(s, exe)[("Utilities2", "Speccy v1.25")] == "Not Installed", "Speccy is installed")


def test_CommandLinePassiveShowsProgressAndAsksNothing(s):
    exe = s.install_copy("passive", RELEASE_NAME)
    serve(UTILITIES2_FILES)
    try:
        rc, out, err = run_cli(s, exe, "/install", "Speccy v1.25", "/passive", timeout=120)
        check(rc == EXIT_SUCCESS, "/passive /install ended with %d: %s %s" % (rc, out, err))
        check(statuses(s, exe)[("Utilities2", "Speccy v1.25")] == "Installed", "Speccy is not installed")
        # A failed download fails the run instead of waiting for someone to read its message.
        rc, out, err = run_cli(s, exe, "/install", "Orvanta TeamViewer 8 Host.exe", "/passive", timeout=120,
                               server=os.environ["INSTALLER_VENDOR_DEAD_URL"])
        check(rc == EXIT_FAILURE, "/passive without a server ended with %d, not 1603: %s %s" % (rc, out, err))
    finally:
        run_cli(s, exe, "/uninstall", "Utilities2", "/quiet")


def test_CommandLinePassiveFailedRemovalEndsInsteadOfWaiting(s):
    # .NET 2.0 cannot be removed: in a window the uninstall dialog would wait for Abort after its failure
    # message; a run nobody watches must end with its failure instead.
    exe = s.install_copy("passive-removal", RELEASE_NAME)
    serve(["orvanta/files/OrvantaPreRequisites/dotnetfx_2.0.50727.42.exe"])
    name = "Microsoft .Net 2.0.50727.42 Redist"
    try:
        rc, out, err = run_cli(s, exe, "/install", name, "/quiet", timeout=120)
        check(rc == EXIT_SUCCESS, "/install of .NET ended with %d: %s %s" % (rc, out, err))
        started = time.time()
        rc, out, err = run_cli(s, exe, "/uninstall", name, "/passive", timeout=120)
        check(rc == EXIT_FAILURE, "/passive /uninstall of .NET ended with %d, not 1603: %s %s" % (rc, out, err))
        check(time.time() - started < 60, "the failed removal waited %.0f s" % (time.time() - started))
        check(s.count("messagebox") == 0, "a message box was left on the screen")
        check(statuses(s, exe)[("Prerequisites", name)] == "Installed", ".NET no longer shows as installed")
    finally:
        subprocess.run(["timeout", "60", "wine", "reg", "delete",
                        "HKLM\\SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727", "/f"],
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def test_CommandLineRepairPutsABrokenRowRightAndLogsIt(s):
    exe = s.install_copy("repair", RELEASE_NAME)
    serve(UTILITIES2_FILES)
    copy = os.path.join(s.work, "fleet logs", "orvanta repair.log")
    os.makedirs(os.path.dirname(copy))
    with open(copy, "w") as f:
        f.write("an earlier run's log\n")
    try:
        rc, out, err = run_cli(s, exe, "/install", SPECCY, "/quiet")
        check(rc == EXIT_SUCCESS, "/install ended with %d: %s %s" % (rc, out, err))
        # The version the status rule checks, wrong: a problem a repair puts right.
        check(wine_reg("add", SPECCY_KEY, "/v", "DisplayVersion", "/d", "1.24", "/f") == 0, "reg add failed")
        check(statuses(s, exe)[("Utilities2", SPECCY)] == "Version Mismatch", "the broken build is not seen")

        # Without names every row with a problem is repaired: here Speccy alone.
        rc, out, err = run_cli(s, exe, "/repair", "/quiet", "/log", windows_path(copy))
        check(rc == EXIT_SUCCESS, "/repair ended with %d: %s %s" % (rc, out, err))
        check(out.replace("\r\n", "\n") == "Utilities2  Speccy v1.25  Installed\n", "the report: %r" % out)
        after = statuses(s, exe)
        check(after[("Utilities2", SPECCY)] == "Installed", "Speccy is not right again: %r" % after)
        check(after[("Utilities2", "Orvanta TeamViewer 8 Host.exe")] == "Not Installed",
              "the repair installed a row that was not there")

        # The copy is this run's log, the same as the one in the data folder, and holds its story.
        text = read_text(copy)
        logs = [t for t in run_logs(os.path.dirname(exe)) if "Command line request: /repair" in t]
        check(len(logs) == 1 and logs[0] == text, "the copy differs from the run's log:\n%s" % text)
        check("an earlier run's log" not in text, "the copy kept the file's old content")
        architecture = "Architecture: x64" if machine_is_64bit() else "Architecture: x86"
        for line in ("Windows version: ", architecture, "Run log copied to: " + windows_path(copy),
                     "Utilities2 / Speccy v1.25: (none) -> Version Mismatch",
                     "Utilities2 / Speccy v1.25: Version Mismatch -> Not Installed",
                     "Utilities2 / Speccy v1.25: Not Installed -> Installed",
                     "Command line request ended with exit code 0", "Installer ended"):
            check(line in text, "the log has no %r:\n%s" % (line, text))

        # A named row that is right is left alone.
        rc, out, err = run_cli(s, exe, "/repair", SPECCY, "/quiet")
        check(rc == EXIT_SUCCESS, "/repair of a right row ended with %d: %s %s" % (rc, out, err))
        last = run_logs(os.path.dirname(exe))[-1]
        check("Command line request: /repair " + SPECCY in last and "Command program" not in last,
              "the repair of a right row started something:\n%s" % last)
    finally:
        run_cli(s, exe, "/uninstall", "Utilities2", "/quiet")


def test_CommandLineRestartRequestedByASetupIs3010(s):
    exe = s.install_copy("restart", RELEASE_NAME)
    serve_variant("restart", SPECCY_SETUP)
    try:
        rc, out, err = run_cli(s, exe, "/install", SPECCY, "/quiet")
        check(rc == EXIT_RESTART_REQUIRED, "/install ended with %d, not 3010: %s %s" % (rc, out, err))
        check("A restart of the computer is required" in err, "nothing said about the restart: %r" % err)
        check(statuses(s, exe)[("Utilities2", SPECCY)] == "Installed", "Speccy is not installed")
        logs = [t for t in run_logs(os.path.dirname(exe)) if "Command line request: /install" in t]
        check(len(logs) == 1 and "spsetup125.exe\" command line \"" in logs[0] and "-> exit code 3010" in logs[0],
              "the log has no setup that ended with 3010:\n%s" % "".join(logs))
    finally:
        run_cli(s, exe, "/uninstall", "Utilities2", "/quiet")


WATCHDOG = "Orvanta Watchdog - Vivantor 2.0.0.6"
WATCHDOG_SETUP = "orvanta/files/InstallerDownloads/OrvantaWatchdog/Orvanta_Watchdog_Vivantor_2_0_0_6_131205.exe"
WATCHDOG_CODE = "{0339BD1D-BA38-4F90-A2FD-CC136286A463}"


def test_CommandLineRemovalAskingForARestartIs3010AndAStartedRestartIs1641(s):
    exe = s.install_copy("restart-removal", RELEASE_NAME)
    # Watchdog's package schedules a restart when it is removed: the removal through Windows Installer
    # succeeds with 3010.
    serve_variant("restart-on-removal", WATCHDOG_SETUP)
    serve_variant("restart-initiated", SPECCY_SETUP)
    try:
        rc, out, err = run_cli(s, exe, "/install", WATCHDOG, "/quiet")
        check(rc == EXIT_SUCCESS, "/install of Watchdog ended with %d: %s %s" % (rc, out, err))
        check(statuses(s, exe)[("Utilities", WATCHDOG)] == "Installed", "Watchdog is not installed")

        rc, out, err = run_cli(s, exe, "/uninstall", WATCHDOG, "/quiet")
        check(rc == EXIT_RESTART_REQUIRED, "/uninstall ended with %d, not 3010: %s %s" % (rc, out, err))
        check("A restart of the computer is required" in err, "nothing said about the restart: %r" % err)
        check(statuses(s, exe)[("Utilities", WATCHDOG)] == "Not Installed", "Watchdog is still installed")
        removal = [t for t in run_logs(os.path.dirname(exe)) if "Command line request: /uninstall" in t]
        check(len(removal) == 1 and "Windows Installer removal of " + WATCHDOG_CODE in removal[0]
              and "exit code 3010" in removal[0], "the log has no removal that ended with 3010:\n%s"
              % "".join(removal))

        # A setup that begins the restart itself: the run says so and ends with 1641.
        rc, out, err = run_cli(s, exe, "/install", SPECCY, "/quiet")
        check(rc == EXIT_RESTART_INITIATED, "/install ended with %d, not 1641: %s %s" % (rc, out, err))
        check("is restarting the computer" in err, "nothing said about the restart: %r" % err)
        check(statuses(s, exe)[("Utilities2", SPECCY)] == "Installed", "Speccy is not installed")
    finally:
        run_cli(s, exe, "/uninstall", WATCHDOG, SPECCY, "/quiet")


def test_CommandLinePassiveAbortCancelsTheRun(s):
    exe = s.install_copy("abort", RELEASE_NAME)
    serve(UTILITIES2_FILES)
    # The download stops after its first bytes, so that there is time to press Abort.
    set_faults({"/" + SPECCY_SETUP: {"stall": 1000, "hold": 60}})
    env = dict(os.environ)
    env["ORVANTA_INSTALLER_SERVER"] = os.environ["INSTALLER_VENDOR_URL"]
    out = s._out("cli.txt")
    try:
        with open(out, "wb") as f, open(out + ".err", "wb") as err:
            run = subprocess.Popen(["timeout", "120", "wine", exe, "/install", SPECCY, "/passive"],
                                   stdin=subprocess.DEVNULL, stdout=f, stderr=err, env=env)
            dialog = TITLE + " - Download and Install Components"
            check(s.driver("wait", dialog, 60000)[0] == 0, "no progress dialog")
            check(s.driver("click", dialog, "Abort")[0] == 0, "could not press Abort")
            rc, question = s.driver("messagebox", "Confirmation", 20000)
            check(rc == 0 and "abort" in question, "no confirmation: %r" % question)
            check(s.driver("answer", "Confirmation", 6)[0] == 0, "could not answer Yes")
            try:
                rc = run.wait(timeout=90)
            except subprocess.TimeoutExpired:
                run.kill()
                raise Failure("the run did not end after its Abort")
        check(rc == EXIT_CANCELLED, "the aborted run ended with %d, not 1602: %s" % (rc, read_text(out + ".err")))
        check("Cancelled by the user." in read_text(out + ".err"), "nothing said about the cancellation")
        check(statuses(s, exe)[("Utilities2", SPECCY)] == "Not Installed", "Speccy was installed")
    finally:
        set_faults({})
        run_cli(s, exe, "/uninstall", "Utilities2", "/quiet")


def main(tests=None):
    parser = argparse.ArgumentParser()
    parser.add_argument("test")
    parser.add_argument("--exe", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    test = (tests or globals()).get("test_" + args.test)
    if test is None:
        print("no such test: " + args.test)
        return 2
    session = Session(args)
    try:
        test(session)
    except Failure as failure:
        print("FAILED: %s: %s" % (args.test, failure))
        session.report_programs()
        return 1
    except Exception:  # a driver that hung past its timeout, a file that is not there: the same report
        print("FAILED: %s: %s" % (args.test, traceback.format_exc()))
        session.report_programs()
        return 1
    finally:
        session.close_all()
    print("passed: " + args.test)
    return 0


if __name__ == "__main__":
    sys.exit(main())
