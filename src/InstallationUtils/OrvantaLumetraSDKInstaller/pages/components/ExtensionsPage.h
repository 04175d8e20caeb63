// The extensions page: the Python 2.6 stack and the OpenCV packages, installed in groups (one Install and one
// Uninstall per group, several Install buttons bringing the rows other groups need first), the exclusive
// OpenCV 2.X choice in a combo box, and the Runtime's private Python DLL kept out of the way while Python 2.6
// is installed.
#pragma once

#include <optional>

#include "wizard/PropertyPageBase.h"

class ovDInstallExtensions : public wizard::ovDPropertyPageBase {
public:
    ovDInstallExtensions(wizard::PageEnvironment& environment, std::string title);

    // Rows of the page, in catalogue order.
    enum Row { Python = 0, Pywin32 = 1, Pyserial = 2, Scipy = 3, Numpy = 4, OpenCV11 = 5, CtypesOpenCV = 6,
               OpenCV231 = 7, OpenCV246 = 8, MySQLPython = 9, OpenCV248 = 10 };

    bool isPageSkipped() override { return false; }
    void updateControls() override;
    void initControls() override;
    void onInitDialog() override;
    bool onSetActive() override;
    void onCommand(int controlId) override;

    // Parks the Runtime's "python26.dll" as "py26.dll" while Python 2.6 is installed and puts it back when
    // Python 2.6 is gone. 1 done (or nothing to do), -1 no Runtime folder, -2 a DLL could not be moved or the
    // parked DLL had to stay parked. The parked DLL is never deleted.
    // pythonInstalled: what a refresh of the rows has just found (the Python row's probe is the same
    // enumeration of every Windows Installer product, the costly part); probed here when not given.
    int syncPythonDll(bool showMessages, std::optional<bool> pythonInstalled = std::nullopt);
    // The combo box and its status text show the installed OpenCV 2.X package ("None" when there is none).
    void showCurrentOpenCV2XExt();
    // The person picked an entry: 1 when something was done or refused, -1 when nothing changed.
    int processNewOpenCV2XExtInstallation();
    const std::string& openCV2XChoice() const { return openCV2XChoice_; }

private:
    void uninstallCurrentOpenCV2XExt();
    void installNewOpenCV2XExt();
    void tell(const char* text);

    std::string openCV2XChoice_;
    std::string openCV2XStatus_;
    std::string statusLine_;
};
