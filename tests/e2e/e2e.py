#!/usr/bin/env python3
"""End-to-end tests of the installer: the real program under Wine, driven through its windows by
WizardDriver.exe, as a person would use it.

    e2e.py TEST --exe INSTALLER.exe --driver WizardDriver.exe --work DIR

Runs inside tools/with-wine.sh (a display, WINEPREFIX and a running wineserver). The output of Wine programs is
always redirected to files: a pipe would be inherited by Wine's services and never reach its end.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

TITLE = "Orvanta Lumetra SDK Version X 10.2.1.578 Installer"
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
        """Runs one driver command; returns (exit code, what it printed)."""
        out = self._out("driver.txt")
        with open(out, "wb") as f, open(out + ".err", "wb") as err:
            rc = subprocess.run(["wine", self.driver_exe, *map(str, args)], stdin=subprocess.DEVNULL,
                                stdout=f, stderr=err, timeout=timeout).returncode
        with open(out, "rb") as f:
            return rc, f.read().decode("latin-1").replace("\r\n", "\n")

    def install_copy(self, folder, name):
        target_dir = os.path.join(self.work, folder)
        os.makedirs(target_dir, exist_ok=True)
        target = os.path.join(target_dir, name)
        shutil.copy(self.exe, target)
        return target

    def start(self, path):
        log = open(self._out("program.log"), "wb")
        p = subprocess.Popen(["timeout", "240", "wine", path], stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        self.programs.append(p)
        return p

    def count(self, kind):
        rc, out = self.driver("count", TITLE, kind)
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
            time.sleep(0.5)
        for p in self.programs:
            try:
                p.wait(timeout=20)
            except subprocess.TimeoutExpired:
                p.kill()


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def test_SecondInstanceIsRefused(s):
    first = s.start(s.install_copy("first", RELEASE_NAME))
    check(s.driver("wait", TITLE, 60000, "sheet")[0] == 0, "the first instance did not open its wizard")

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
    check(s.driver("wait", TITLE, 60000, "sheet")[0] == 0, "the installer did not open its wizard")
    check(not os.path.exists(leftover), "the leftover test file is still there")
    check(os.listdir(os.path.dirname(exe)) == [RELEASE_NAME], "the write test left files behind: %r"
          % os.listdir(os.path.dirname(exe)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("test")
    parser.add_argument("--exe", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    test = globals().get("test_" + args.test)
    if test is None:
        print("no such test: " + args.test)
        return 2
    session = Session(args)
    try:
        test(session)
    except Failure as failure:
        print("FAILED: %s: %s" % (args.test, failure))
        return 1
    finally:
        session.close_all()
    print("passed: " + args.test)
    return 0


if __name__ == "__main__":
    sys.exit(main())
