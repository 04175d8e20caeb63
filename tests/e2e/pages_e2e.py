#!/usr/bin/env python3
"""End-to-end tests of the extensions, modules, camera-driver and IO pages: the real program under Wine, its
group buttons, exclusive choices and variant dialog worked through WizardDriver.exe.

    pages_e2e.py TEST --exe INSTALLER.exe --driver WizardDriver.exe --work DIR
"""
import os
import subprocess
import sys
import time

import e2e
from e2e import RELEASE_NAME, TITLE, Failure, check, run_cli
from wizard_e2e import CAPTIONS, EXTENSIONS, ID, IDNO, IDYES, MODULES, Wizard, install_with_the_command_line, \
    serve_everything

THIRD_PARTY, IO_SYSTEM = MODULES + 1, MODULES + 2
RUNTIME = "Orvanta Version X 10.2.1.578 Runtime"
PYTHON_PATH_KEY = r"HKLM\SOFTWARE\Python\PythonCore\2.6\PythonPath"
VARIANT_DIALOG = "Select Vexlib Version"
IDOK = 1


def reg_default(key):
    """The default value of a registry key of the prefix, or None."""
    out = subprocess.run(["timeout", "60", "wine", "reg", "query", key, "/ve"], stdin=subprocess.DEVNULL,
                         capture_output=True).stdout.decode("latin-1")
    for line in out.splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) == 3 and parts[1].startswith("REG_"):
            return parts[2]
    return None


def runtime_folder():
    """The Runtime's folder in the prefix, as a Unix path."""
    out = subprocess.run(["timeout", "60", "wine", "reg", "query", r"HKLM\SOFTWARE\DALVOREN AS" + "\\" + RUNTIME,
                          "/v", "InstallPath"], stdin=subprocess.DEVNULL, capture_output=True).stdout.decode("latin-1")
    for line in out.splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) == 3 and parts[0] == "InstallPath":
            path = parts[2]
            check(path[1:3] == ":\\", "InstallPath %r" % path)
            drive = os.path.join(os.environ["WINEPREFIX"], "dosdevices", path[0].lower() + ":")
            return os.path.join(os.path.realpath(drive), *[p for p in path[3:].split("\\") if p])
    raise Failure("the Runtime's InstallPath is not in the registry")


def answer_every_box(s, seconds=3):
    """Acknowledges the report boxes an operation leaves (custom action warnings, download reports)."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        if s.count("messagebox"):
            s.driver("answer", TITLE, IDOK)
        time.sleep(0.3)


def reach(s, w, page, seconds=60):
    """Waits for the page, acknowledging the boxes its activation shows (status warnings, the Runtime guard)."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        if w.caption() == CAPTIONS[page]:
            w.page = page
            return
        if s.count("messagebox"):
            s.driver("answer", TITLE, IDOK)
        time.sleep(0.3)
    raise Failure("the page %r did not show" % CAPTIONS[page])


def open_page(s, exe, page):
    w = Wizard(s, exe)
    w.click("Modules" if page >= MODULES else "Extensions")
    reach(s, w, MODULES if page >= MODULES else EXTENSIONS)
    for p in range(MODULES + 1, page + 1):
        w.click(0x3024)
        reach(s, w, p)
    answer_every_box(s, 1)
    return w


def leave_clean(s, exe, *names):
    s.close_all()
    run_cli(s, exe, "/uninstall", *names, "/quiet")


def test_PagesPythonGroupInstallsAndParksTheRuntimesPythonDll(s):
    serve_everything()
    exe = s.install_copy("python2d", RELEASE_NAME)
    install_with_the_command_line(s, exe, "Prerequisites", "CoreComponents")
    try:
        w = open_page(s, exe, EXTENSIONS)
        runtime = runtime_folder()
        check(os.path.exists(os.path.join(runtime, "python26.dll")), "the Runtime stand-in has no python26.dll")
        rows = ["IDC_EXT_ROW%d_" % r for r in (0, 1, 2)]
        for row in rows:
            check(w.text(ID[row + "STATUS"]) == "Not Installed", "%s is %r" % (row, w.text(ID[row + "STATUS"])))
        w.click(ID["IDC_EXT_PYTHON2D_INSTALL"])
        for row in rows:
            w.wait_text(ID[row + "STATUS"], "Installed", seconds=300)
        answer_every_box(s)
        check(w.text(ID[rows[2] + "ACTION"]) == "Ok", "action %r" % w.text(ID[rows[2] + "ACTION"]))
        for key in ("", r"\Pythonwin", r"\win32", r"\win32com"):
            check(reg_default(PYTHON_PATH_KEY + key), "PythonPath%s was not written" % key)
        check(not os.path.exists(os.path.join(runtime, "python26.dll")) and
              os.path.exists(os.path.join(runtime, "py26.dll")), "the Runtime's Python DLL was not parked")
        check(not w.state(ID["IDC_EXT_PYTHON2D_INSTALL"])["enabled"], "Install stays enabled on a complete group")

        w.click(ID["IDC_EXT_PYTHON2D_UNINSTALL"])
        for row in rows:
            w.wait_text(ID[row + "STATUS"], "Not Installed", seconds=300)
        answer_every_box(s)
        check(os.path.exists(os.path.join(runtime, "python26.dll")) and
              not os.path.exists(os.path.join(runtime, "py26.dll")), "the Runtime's Python DLL was not restored")
    finally:
        leave_clean(s, exe, "Extensions", "CoreComponents")


def test_PagesOpenCV2XChoiceAsksBeforeReplacingTheInstalledRelease(s):
    serve_everything()
    exe = s.install_copy("opencv", RELEASE_NAME)
    install_with_the_command_line(s, exe, "Prerequisites", "CoreComponents", "OpenCV 2.4.6")
    try:
        w = open_page(s, exe, EXTENSIONS)
        answer_every_box(s)
        combo = ID["IDC_EXT_OPENCV2X_COMBO"]
        check(w.text(combo) == "OpenCV 2.4.6", "the combo box shows %r" % w.text(combo))
        runtime = runtime_folder()
        for answer in (IDNO, IDYES):
            check(s.driver("pick", CAPTIONS[EXTENSIONS], combo, "OpenCV 2.4.8", "sheet")[0] == 0, "no entry 2.4.8")
            rc, question = s.driver("messagebox", TITLE, 30000)
            check(rc == 0 and question.startswith("Only one of the OpenCV 2.X Extensions"), "question %r" % question)
            s.driver("answer", TITLE, answer)
            if answer == IDNO:
                w.wait_text(combo, "OpenCV 2.4.6", seconds=30)
                check(os.path.isdir(os.path.join(runtime, "OpenCV246")), "No removed OpenCV 2.4.6")
        w.wait_text(combo, "OpenCV 2.4.8", seconds=600)
        answer_every_box(s)
        check(not os.path.exists(os.path.join(runtime, "OpenCV246")), "OpenCV 2.4.6 is still unpacked")
        check(os.path.isdir(os.path.join(runtime, "OpenCV248")), "OpenCV 2.4.8 was not unpacked")
        check(w.text(ID["IDC_EXT_OPENCV2X_STATUS"]).startswith("Status: "), "no status beside the combo box")
    finally:
        leave_clean(s, exe, "Extensions", "CoreComponents")


def test_PagesModulesIppAndVexlibVariant(s):
    serve_everything()
    exe = s.install_copy("modules", RELEASE_NAME)
    install_with_the_command_line(s, exe, "Prerequisites", "CoreComponents")
    try:
        w = open_page(s, exe, MODULES)
        runtime = runtime_folder()
        check(w.text(ID["IDC_MOD_VARIANT_TEXT"]) == "Visual C Compiler DLL",
              "variant %r" % w.text(ID["IDC_MOD_VARIANT_TEXT"]))
        w.click(ID["IDC_MOD_ROW0_INSTALL"])
        w.wait_text(ID["IDC_MOD_ROW0_STATUS"], "Installed", seconds=300)
        answer_every_box(s)
        path = subprocess.run(["timeout", "60", "wine", "reg", "query",
                               r"HKLM\System\CurrentControlSet\Control\Session Manager\Environment", "/v", "Path"],
                              stdin=subprocess.DEVNULL, capture_output=True).stdout.decode("latin-1")
        check(path.lower().count("ipp924") == 1, "the PATH holds the IPP folder %d times" % path.lower().count("ipp924"))

        # The variant dialog: pick the Intel build.
        w.click(ID["IDC_MOD_CHANGE"])
        check(s.driver("wait", VARIANT_DIALOG, 30000)[0] == 0, "the variant dialog did not open")
        check(s.driver("state", VARIANT_DIALOG, ID["IDC_VEXLIB_VC8"])[1].split()[1] == "checked=1",
              "the current build is not checked")
        s.driver("click", VARIANT_DIALOG, ID["IDC_VEXLIB_INTEL"])
        time.sleep(1)
        s.driver("click", VARIANT_DIALOG, IDOK)
        w.wait_text(ID["IDC_MOD_VARIANT_TEXT"], "Intel Compiler DLL", seconds=60)
        check(w.text(ID["IDC_MOD_VARIANT_STATUS"]) == "Ok", "status %r" % w.text(ID["IDC_MOD_VARIANT_STATUS"]))
        build = os.path.join(runtime, "3.0.17.115", "Intel-Blend")
        for name in ("VexLib.dll", "VexLib2.dll", "pyVexlib26.pyd", "OrvantaVexTools.dll", os.path.join("Python", "vexlibct.py")):
            with open(os.path.join(runtime, name), "rb") as a, open(os.path.join(build, name), "rb") as b:
                check(a.read() == b.read(), "%s is not the Intel build's" % name)

        w.click(ID["IDC_MOD_ROW0_REMOVE"])
        w.wait_text(ID["IDC_MOD_ROW0_STATUS"], "Not Installed", seconds=300)
        answer_every_box(s)
        check(not os.path.exists(os.path.join(runtime, "IPP924")), "the IPP files are still there")
    finally:
        leave_clean(s, exe, "Modules", "CoreComponents")


def test_PagesEveryCameraAndIoRowInstallsAndRemovesItsStandIn(s):
    serve_everything()
    exe = s.install_copy("camera", RELEASE_NAME)
    w = open_page(s, exe, THIRD_PARTY)
    # This prefix reports a 64-bit processor: the 64-bit forms are offered.
    check(w.text(ID["IDC_TP_ROW0_NAME"]).endswith("- 64 bit"), "row 0 is %r" % w.text(ID["IDC_TP_ROW0_NAME"]))
    page_rows = [(THIRD_PARTY, "IDC_TP_ROW%d_" % r, "REMOVE") for r in (0, 1, 2, 6)] + \
                [(IO_SYSTEM, "IDC_IO_ROW%d_" % r, "UNINSTALL") for r in range(5)]
    for page, row, remove in page_rows:
        if w.page != page:
            w.click(0x3024)
            reach(s, w, page)
        name = w.text(ID[row + "NAME"])
        w.click(ID[row + "INSTALL"])
        w.wait_text(ID[row + "STATUS"], "Installed", seconds=300)
        answer_every_box(s, 1)
        w.click(ID[row + remove])
        w.wait_text(ID[row + "STATUS"], "Not Installed", seconds=300)
        answer_every_box(s, 1)
        print("%s installed and removed" % name)


if __name__ == "__main__":
    sys.exit(e2e.main(globals()))
