#!/usr/bin/env python3
"""End-to-end tests of the welcome page: installer copies of other versions (stand-ins carrying the installers'
version resources) are tidied up into the copies folder and switched to, on the real program under Wine.

    welcome_e2e.py TEST --exe INSTALLER.exe --driver WizardDriver.exe --work DIR

The stand-ins are named by WELCOME_OLDER_COPY (10.1.0.400, private build "e2e build") and WELCOME_OLDEST_COPY
(10.0.0.100); started, each leaves "<its path>.started" beside itself.
"""
import os
import shutil
import subprocess
import sys
import time

import e2e
from e2e import RELEASE_NAME, TITLE, check, wait_until
import wizard_e2e
from wizard_e2e import CAPTIONS, ID, WELCOME

COPIES = "_OrvantaInstallers"
OLDER = "OrvantaLumetraSDK_10_1_0_400_Installer_130101.exe"
OLDEST = "OrvantaLumetraSDK_10_0_0_100_Installer_120101.exe"
IGNORED = "orvantalumetrasdk_9_0_0_1_Installer_100101.exe"  # the pattern is case-sensitive
RUNNING_ENTRY = "10.2.1.578 ()"
PLEASE_WAIT = "Please wait..."
SWITCH_FAILED = "Error: Unable to switch to the selected installer. Please try again."
DPI_WARNING = "Display settings on this computer are not compliant with the '%s' requirements." % TITLE
DESKTOP_KEY = "HKCU\\Control Panel\\Desktop"


def watch_for(s, caption, timeout_ms):
    """Starts the driver waiting for a window in the background; its exit code tells whether it came."""
    out = open(s._out("watch.txt"), "wb")
    return subprocess.Popen(["wine", s.driver_exe, "wait", caption, str(timeout_ms), "any"], stdin=subprocess.DEVNULL,
                            stdout=out, stderr=out)


def selector_text(s):
    rc, out = s.driver("text", CAPTIONS[WELCOME], ID["IDC_WELCOME_VERSION"], "sheet")
    check(rc == 0, "the welcome page shows no version selector")
    return out.rstrip("\n")


def test_WelcomeTidiesUpCopiesAndSwitchesToOne(s):
    exe = s.install_copy("welcome", RELEASE_NAME)
    folder = os.path.dirname(exe)
    copies = os.path.join(folder, COPIES)
    shutil.copy(os.environ["WELCOME_OLDER_COPY"], os.path.join(folder, OLDER))
    shutil.copy(os.environ["WELCOME_OLDER_COPY"], os.path.join(folder, IGNORED))
    os.makedirs(copies)
    shutil.copy(os.environ["WELCOME_OLDEST_COPY"], os.path.join(copies, OLDEST))

    # The older installer beside the program is moved only after the "Please wait..." box has stood its time. The
    # box stands for five seconds only: the watch for it is running before the program starts.
    watch = watch_for(s, PLEASE_WAIT, 90000)
    time.sleep(3)
    program = s.start(exe)
    check(watch.wait(timeout=120) == 0, "no \"Please wait...\" box at the first activation")
    check(os.path.exists(os.path.join(folder, OLDER)), "the copy was moved before the pause")
    wait_until(lambda: os.path.exists(os.path.join(copies, OLDER)), 30, "the older installer was never moved")
    check(not os.path.exists(os.path.join(folder, OLDER)), "the older installer is still beside the program")
    check(os.path.exists(os.path.join(folder, IGNORED)), "a lower-case name was taken for an installer")
    check(s.driver("wait", CAPTIONS[WELCOME], 60000, "sheet")[0] == 0, "the wizard did not open")
    wait_until(lambda: s.driver("count", PLEASE_WAIT, "any")[1].strip() == "0", 20, "the \"Please wait...\" box stays")
    check(selector_text(s) == RUNNING_ENTRY, "the selector shows %r" % selector_text(s))

    # A copy deleted since the list was filled: the person is told, and the running installer's entry returns.
    os.remove(os.path.join(copies, OLDEST))
    check(s.driver("pick", CAPTIONS[WELCOME], ID["IDC_WELCOME_VERSION"], "10.0.0.100", "sheet")[0] == 0,
          "the selector does not list the copy in the copies folder")
    rc, text = s.driver("messagebox", TITLE, 20000)
    check(rc == 0 and text == SWITCH_FAILED, "no switch error, the box says %r" % text)
    s.driver("answer", TITLE, e2e.IDOK)
    wait_until(lambda: selector_text(s) == RUNNING_ENTRY, 20, "the selection did not return to the running installer")
    check(program.poll() is None, "the installer ended after a failed switch")

    # Switching: the copy moves beside the program, is started from there, and the running installer closes.
    check(s.driver("pick", CAPTIONS[WELCOME], ID["IDC_WELCOME_VERSION"], "10.1.0.400 (e2e build)", "sheet")[0] == 0,
          "the selector does not list the moved installer with its private build")
    wait_until(lambda: os.path.exists(os.path.join(folder, OLDER + ".started")), 30, "the chosen copy was not started")
    check(os.path.exists(os.path.join(folder, OLDER)) and not os.path.exists(os.path.join(copies, OLDER)),
          "the chosen copy was not moved into the installer folder")
    check(not os.path.exists(os.path.join(copies, OLDER + ".started")), "the copy was started in the copies folder")
    wait_until(lambda: program.poll() is not None, 60, "the running installer did not close after the switch")
    check(os.path.exists(exe), "the running installer's program is gone")


def set_logpixels(s, dpi):
    """The display resolution Wine reports to the programs started from now on."""
    with open(s._out("reg.txt"), "wb") as out:
        rc = subprocess.run(["wine", "reg", "add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi),
                             "/f"], stdin=subprocess.DEVNULL, stdout=out, stderr=out, timeout=60).returncode
    check(rc == 0, "could not set the display resolution to %d DPI" % dpi)


def test_WelcomeWarnsOnceAboutADisplayThatIsNot96Dpi(s):
    exe = s.install_copy("dpi", RELEASE_NAME)
    set_logpixels(s, 120)
    try:
        w = wizard_e2e.Wizard(s, exe)
        rc, text = s.driver("messagebox", "Warning", 30000)
        check(rc == 0, "no warning about the 120-DPI display")
        check(text.startswith(DPI_WARNING) and "'100%'." in text, "the warning says %r" % text)
        s.driver("answer", "Warning", e2e.IDOK)
        # The page shown again warns no more.
        w.next(1)
        w.click(ID["IDC_NAV_HOME"])
        w.expect(WELCOME)
        time.sleep(2)
        check(s.driver("count", "Warning", "messagebox")[1].strip() == "0", "the warning came again")
    finally:
        s.close_all()
        set_logpixels(s, 96)


if __name__ == "__main__":
    sys.exit(e2e.main(globals()))
