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
from e2e import RELEASE_NAME, TITLE, Failure, check, machine_form, machine_is_64bit, run_cli, run_logs
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


PROGRESS_DIALOG = TITLE + " - Download and Install Components"
UNINSTALL_ROOT = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"


def uninstall_keys():
    """The names of the prefix's Uninstall keys (what the stand-in setups register, and Windows Installer too), in
    both registry views of a 64-bit prefix: 32-bit products write below Wow6432Node, 64-bit ones do not."""
    prefix = UNINSTALL_ROOT.split("\\", 1)[1].lower() + "\\"
    keys = set()
    for view in (["/reg:64", "/reg:32"] if machine_is_64bit() else [None]):
        out = subprocess.run(["timeout", "60", "wine", "reg", "query", UNINSTALL_ROOT] + ([view] if view else []),
                             stdin=subprocess.DEVNULL, capture_output=True).stdout.decode("latin-1")
        for line in out.splitlines():
            line = line.strip()
            at = line.lower().find(prefix)
            if at >= 0:
                keys.add(line[at + len(prefix):])
    return keys


def wait_rows_noting_headers(s, w, rows, expected, seconds=300):
    """Waits until every row shows `expected`; returns the header texts of the progress dialogs shown meanwhile
    (first line, a line break, second line), in the order they came, each once."""
    headers = []
    deadline = time.time() + seconds
    while time.time() < deadline:
        rc, out = s.driver("texts", PROGRESS_DIALOG, 0)
        if rc == 0:
            for text in out.split("\x1e"):
                if text.startswith("Installing component") and text not in headers:
                    headers.append(text)
        if w.text(ID[rows[-1] + "STATUS"]) == expected and \
                all(w.text(ID[row + "STATUS"]) == expected for row in rows[:-1]):
            return headers
        if s.count("messagebox"):
            s.driver("answer", TITLE, IDOK)
    raise Failure("the rows %r never all showed %r" % (rows, expected))


def operation_results(exe, operation):
    """What the run logs of the program at exe say each end of the named page operation returned, oldest first."""
    marker = "Operation %s -> result " % operation
    return [line[line.index(marker) + len(marker):].strip()
            for text in run_logs(os.path.dirname(exe)) for line in text.splitlines() if marker in line]


def wait_operation(s, exe, operation, before, seconds=300):
    """Waits for the run log to tell of an end of the operation after the `before` it told of already; returns the
    results of the new ones. Report boxes are acknowledged on the way (the operation's boxes all come before its
    end); a question fails the test."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        results = operation_results(exe, operation)
        if len(results) > before:
            return results[before:]
        if s.count("messagebox"):
            rc, text = s.driver("messagebox", TITLE, 1000)
            check(not text.startswith("Only one of"), "an unexpected question: %r" % text)
            s.driver("answer", TITLE, IDOK)
        time.sleep(0.3)
    raise Failure("the page never ended its %s" % operation)


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


# The other groups of the extensions page: their buttons' stem, their rows, the Uninstall keys their stand-in
# setups register (ctypes-opencv's status also needs OpenCV 1.1's key) and the page operation their Install
# button starts.
OTHER_EXTENSION_GROUPS = [
    ("PYTHON3D", (3, 4), {"scipy-py2.6", "numpy-py2.6"}, "installComponents"),
    ("MYSQL", (9,), {"MySQL-python-py2.6"}, "installComponentList"),
    ("OPENCV", (5, 6), {"Open Source Computer Vision Library_is1", "ctypes-opencv-py2.6"}, "installComponents"),
]


def work_group(s, w, exe, group, numbers, button, operation, status):
    """Presses a group's button and waits for its operation; every row of the group then shows `status`."""
    before = len(operation_results(exe, operation))
    w.click(ID["IDC_EXT_%s_%s" % (group, button)])
    check(wait_operation(s, exe, operation, before) == ["1"], "%s %s failed" % (group, button))
    for r in numbers:
        w.wait_text(ID["IDC_EXT_ROW%d_STATUS" % r], status, seconds=10)
    install, uninstall = (w.state(ID["IDC_EXT_%s_%s" % (group, b)])["enabled"] for b in ("INSTALL", "UNINSTALL"))
    check((install, uninstall) == ((False, True) if status == "Installed" else (True, False)),
          "%s buttons after its %s: Install %s, Uninstall %s" % (group, button, install, uninstall))


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
        names = [w.text(ID[row + "NAME"]) for row in rows]
        # The first row's download is slowed down so that its progress dialog stays long enough to be read.
        e2e.set_faults({"*/python-2.6.6.msi": {"rate": 4000}})
        try:
            w.click(ID["IDC_EXT_PYTHON2D_INSTALL"])
            headers = wait_rows_noting_headers(s, w, rows, "Installed")
        finally:
            e2e.set_faults({})
        # One progress dialog per row, counted in the group: the first one at least is seen.
        expected = ["Installing component %d of 3\n%s" % (i + 1, name) for i, name in enumerate(names)]
        check(headers[:1] == expected[:1] and all(h in expected for h in headers) and
              headers == sorted(headers, key=expected.index), "progress dialog headers %r" % headers)
        answer_every_box(s)
        check(w.text(ID[rows[2] + "ACTION"]) == "Ok", "action %r" % w.text(ID[rows[2] + "ACTION"]))
        for key in ("", r"\Pythonwin", r"\win32", r"\win32com"):
            check(reg_default(PYTHON_PATH_KEY + key), "PythonPath%s was not written" % key)
        check(not os.path.exists(os.path.join(runtime, "python26.dll")) and
              os.path.exists(os.path.join(runtime, "py26.dll")), "the Runtime's Python DLL was not parked")
        check(not w.state(ID["IDC_EXT_PYTHON2D_INSTALL"])["enabled"], "Install stays enabled on a complete group")

        # The other groups on top of it, each with its own buttons; then removed again, last first.
        for group, numbers, _, operation in OTHER_EXTENSION_GROUPS:
            work_group(s, w, exe, group, numbers, "INSTALL", operation, "Installed")
        keys = uninstall_keys()
        for group, _, registered, _ in OTHER_EXTENSION_GROUPS:
            check(registered <= keys, "%s: %r not registered" % (group, registered - keys))
        for group, numbers, _, _ in reversed(OTHER_EXTENSION_GROUPS):
            work_group(s, w, exe, group, numbers, "UNINSTALL", "uninstallComponents", "Not Installed")
        keys = uninstall_keys()
        for group, _, registered, _ in OTHER_EXTENSION_GROUPS:
            check(not registered & keys, "%s: %r still registered" % (group, registered & keys))
        check(all(w.text(ID[row + "STATUS"]) == "Installed" for row in rows), "removing a group took Python with it")

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
        before = len(operation_results(exe, "installComponentList"))
        for answer in (IDNO, IDYES):
            check(s.driver("pick", CAPTIONS[EXTENSIONS], combo, "OpenCV 2.4.8", "sheet")[0] == 0, "no entry 2.4.8")
            rc, question = s.driver("messagebox", TITLE, 30000)
            check(rc == 0 and question.startswith("Only one of the OpenCV 2.X Extensions"), "question %r" % question)
            s.driver("answer", TITLE, answer)
            if answer == IDNO:
                w.wait_text(combo, "OpenCV 2.4.6", seconds=30)
                check(os.path.isdir(os.path.join(runtime, "OpenCV246")), "No removed OpenCV 2.4.6")
        # The combo box shows the picked entry at once: the end of the install says when the page is done.
        check(wait_operation(s, exe, "installComponentList", before, seconds=600) == ["1"],
              "installing OpenCV 2.4.8 failed")
        w.wait_text(combo, "OpenCV 2.4.8", seconds=10)
        check(not os.path.exists(os.path.join(runtime, "OpenCV246")), "OpenCV 2.4.6 is still unpacked")
        check(os.path.isdir(os.path.join(runtime, "OpenCV248")), "OpenCV 2.4.8 was not unpacked")
        check(w.text(ID["IDC_EXT_OPENCV2X_STATUS"]).startswith("Status: "), "no status beside the combo box")

        # The oldest release through the same question; its Python stack is there already.
        before = len(operation_results(exe, "installComponentList"))
        check(s.driver("pick", CAPTIONS[EXTENSIONS], combo, "OpenCV 2.3.1", "sheet")[0] == 0, "no entry 2.3.1")
        rc, question = s.driver("messagebox", TITLE, 30000)
        check(rc == 0 and "install OpenCV 2.3.1 extensions?" in question, "question %r" % question)
        s.driver("answer", TITLE, IDYES)
        check(wait_operation(s, exe, "installComponentList", before) == ["1"], "installing OpenCV 2.3.1 failed")
        check(os.path.isdir(os.path.join(runtime, "OpenCV23")), "OpenCV 2.3.1 was not unpacked")
        check(not os.path.exists(os.path.join(runtime, "OpenCV248")), "OpenCV 2.4.8 is still unpacked")
        w.wait_text(combo, "OpenCV 2.3.1", seconds=10)
        w.wait_text(ID["IDC_EXT_OPENCV2X_STATUS"], "Status: Installed", seconds=10)

        # "None" removes the installed release without a question.
        before = len(operation_results(exe, "uninstallComponents"))
        check(s.driver("pick", CAPTIONS[EXTENSIONS], combo, "None", "sheet")[0] == 0, "no entry None")
        check(wait_operation(s, exe, "uninstallComponents", before) == ["1"], "removing OpenCV 2.3.1 failed")
        check(not os.path.exists(os.path.join(runtime, "OpenCV23")), "OpenCV 2.3.1 is still unpacked")
        w.wait_text(ID["IDC_EXT_OPENCV2X_STATUS"], "", seconds=10)
        check(w.text(combo) == "None", "the combo box shows %r" % w.text(combo))
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


# The Basler packages as the combo box of a 64-bit and of a 32-bit machine names them, with their product codes.
BASLER_FORMS = {
    "64": [("Basler pylon SDK 2.3.5.2633 - 64 bit", "{D7F97581-F17B-48AD-B4BB-634AF0F78D39}"),
           ("Basler pylon SDK 3.2.3.3215 - 64 bit", "{7701C433-7FAB-43ED-B117-762AC408A61C}"),
           ("Basler pylon 4 Runtime 4.0.1.3425 - 64 bit", "{37A8A264-ADAE-4226-BA66-B9FE9FFB1F89}")],
    "32": [("Basler pylon SDK 2.3.5.2633 - 32 bit", "{2393D986-319B-40BF-AEBD-6E0EFC5B5F57}"),
           ("Basler pylon SDK 3.2.3.3215 - 32 bit", "{7701C433-7FAB-43ED-B117-762AC408A61C}"),
           ("Basler pylon 4 Runtime 4.0.1.3425 - 32 bit", "{37A8A264-ADAE-4226-BA66-B9FE9FFB1F89}")],
}
# Where the camera driver installer's stand-in counts its runs.
DRIVER_RUNS_KEY = r"HKLM\SOFTWARE\Stand-ins\Imaging Source Camera Driver"


def driver_runs():
    out = subprocess.run(["timeout", "60", "wine", "reg", "query", DRIVER_RUNS_KEY, "/v", "Runs"],
                         stdin=subprocess.DEVNULL, capture_output=True).stdout.decode("latin-1")
    for line in out.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[0] == "Runs":
            return int(parts[2], 0)
    return 0


def pick_basler(s, w, exe, name, answer=None):
    """Picks an entry of the Basler combo box, answers the question when one is expected, and waits for the
    page to be done with what the choice started (nothing, after No)."""
    combo = ID["IDC_TP_BASLER_COMBO"]
    operation = "installComponents" if answer in (None, IDYES) and name != "None" else "uninstallComponents"
    before = len(operation_results(exe, operation))
    check(s.driver("pick", CAPTIONS[THIRD_PARTY], combo, name, "sheet")[0] == 0, "no entry %r" % name)
    if answer is not None:
        rc, question = s.driver("messagebox", TITLE, 30000)
        check(rc == 0 and question.startswith("Only one of the Basler Pylon SDKs") and
              "install %s extensions?" % name in question, "question %r" % question)
        s.driver("answer", TITLE, answer)
    if answer != IDNO:
        check(wait_operation(s, exe, operation, before) == ["1"], "%s after picking %r failed" % (operation, name))


def test_PagesEveryCameraAndIoRowInstallsAndRemovesItsStandIn(s):
    serve_everything()
    exe = s.install_copy("camera", RELEASE_NAME)
    try:
        w = open_page(s, exe, THIRD_PARTY)
        # A 64-bit prefix reports a 64-bit processor, where the 64-bit forms are offered; a 32-bit one the others.
        form = "- %s bit" % machine_form()
        check(w.text(ID["IDC_TP_ROW0_NAME"]).endswith(form), "row 0 is %r" % w.text(ID["IDC_TP_ROW0_NAME"]))
        install_and_remove_rows(s, w, ["IDC_TP_ROW%d_" % r for r in (0, 1, 2, 6)], "REMOVE")
        basler_choice_and_camera_driver(s, w, exe)
        w.click(0x3024)
        reach(s, w, IO_SYSTEM)
        install_and_remove_rows(s, w, ["IDC_IO_ROW%d_" % r for r in range(5)], "UNINSTALL")
    finally:
        subprocess.run(["timeout", "60", "wine", "reg", "delete", DRIVER_RUNS_KEY, "/f"], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def install_and_remove_rows(s, w, rows, remove):
    for row in rows:
        name = w.text(ID[row + "NAME"])
        w.click(ID[row + "INSTALL"])
        w.wait_text(ID[row + "STATUS"], "Installed", seconds=300)
        answer_every_box(s, 1)
        w.click(ID[row + remove])
        w.wait_text(ID[row + "STATUS"], "Not Installed", seconds=300)
        answer_every_box(s, 1)
        print("%s installed and removed" % name)


def basler_choice_and_camera_driver(s, w, exe):
    """The camera page's Basler choice, each package installed and removed through it, and the camera driver."""
    combo, status = ID["IDC_TP_BASLER_COMBO"], ID["IDC_TP_BASLER_STATUS"]
    BASLER = BASLER_FORMS[machine_form()]
    check(w.text(combo) == "None" and w.text(status) == "", "Basler at first: %r, %r" % (w.text(combo), w.text(status)))

    def shows(index):
        w.wait_text(combo, BASLER[index][0] if index is not None else "None", seconds=10)
        w.wait_text(status, "Status: Installed" if index is not None else "", seconds=10)
        keys = uninstall_keys()
        registered = [i for i, (_, code) in enumerate(BASLER) if code in keys]
        check(registered == ([] if index is None else [index]), "registered Basler packages: %r" % registered)

    # From "None" the first package installs without a question.
    pick_basler(s, w, exe, BASLER[0][0])
    shows(0)
    # Another package: No keeps the installed one, Yes replaces it.
    pick_basler(s, w, exe, BASLER[1][0], IDNO)
    shows(0)
    pick_basler(s, w, exe, BASLER[1][0], IDYES)
    shows(1)
    pick_basler(s, w, exe, BASLER[2][0], IDYES)
    shows(2)
    # "None" removes it without a question.
    pick_basler(s, w, exe, "None")
    shows(None)
    print("the Basler packages installed and removed through the combo box")

    # The camera driver: its setup runs from the archive, which is unpacked for it and cleared away again. Nothing
    # tells that a driver is installed, so the operation ends as not done even so; there is no removal, and its
    # Install button stays open.
    install = ID["IDC_TP_ROW7_INSTALL"]
    check(driver_runs() == 0, "the camera driver's setup ran before")
    before = len(operation_results(exe, "installComponents"))
    w.click(install)
    check(wait_operation(s, exe, "installComponents", before) == ["-1"], "the camera driver counted as installed")
    check(driver_runs() == 1, "the camera driver's setup ran %d times" % driver_runs())
    unpacked = os.path.join(os.path.dirname(exe), "_OrvantaInstallData", "Installations3rdParty")
    check(os.path.isfile(os.path.join(unpacked, "usbcam_2.6.5_tis_02.zip")), "the driver archive was not kept")
    left = [n for n in os.listdir(unpacked) if os.path.isdir(os.path.join(unpacked, n))]
    check(not left, "unpack folders left behind: %r" % left)
    check(w.state(install)["enabled"], "the camera driver's Install button closed")
    print("%s installed" % w.text(ID["IDC_TP_ROW7_NAME"]))


if __name__ == "__main__":
    sys.exit(e2e.main(globals()))
