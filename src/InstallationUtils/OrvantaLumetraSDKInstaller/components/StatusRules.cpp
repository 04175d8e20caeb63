#include "components/StatusRules.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "components/FileLists.h"
#include "components/InstalledTable.h"
#include "components/OrvantaProducts.h"
#include "components/ProductCodes.h"
#include "components/Probes.h"
#include "components/StatusTexts.h"
#include "platform/TextCompare.h"
#include "components/UninstallKeys.h"

using platform::Machine;

namespace components {

using text::equalsIgnoringCase;

namespace {

using namespace status;

// The Python 2.6 packages register an Uninstall key whose "DisplayName" names the exact build.
bool pythonRegistered(Machine& m) { return msiRegistered(m, codes::Python266); }
bool pywin32Matches(Machine& m) {
    return uninstallValueEquals(m, uninstallkeys::Pywin32, "DisplayName", "Python 2.6 pywin32-218");
}
bool pyserialMatches(Machine& m) {
    return uninstallValueEquals(m, uninstallkeys::Pyserial, "DisplayName", "Python 2.6 pyserial-py3k-2.5");
}
bool scipyMatches(Machine& m) {
    return uninstallValueEquals(m, uninstallkeys::Scipy, "DisplayName", "Python 2.6 scipy-0.14.0b1");
}
bool numpyMatches(Machine& m) {
    return uninstallValueEquals(m, uninstallkeys::Numpy, "DisplayName", "Python 2.6 numpy-1.8.1");
}
bool mysqlPythonMatches(Machine& m) {
    return uninstallValueEquals(m, uninstallkeys::MySQLPython, "DisplayName", "Python 2.6 MySQL-python-1.2.2");
}

bool runtimeModuleComplete(Machine& m, const char* folder, const std::vector<std::string>& files) {
    auto runtime = getRuntimeFolder(m);
    return runtime && filesComplete(m, *runtime + folder, files);
}

// A package that plugs into Python 2.6.6: it needs that Python, then its own build.
const char* pythonPackage(Machine& m, bool (*buildMatches)(Machine&)) {
    if (!pythonRegistered(m)) return ReinstallNeeded;
    if (!buildMatches(m)) return VersionMismatch;
    return nullptr;
}

const char* mismatchUnless(bool matches) { return matches ? nullptr : VersionMismatch; }
const char* mismatchIf(bool differs) { return differs ? VersionMismatch : nullptr; }

struct StatusRule {
    std::array<const char*, 2> displayNames;  // the second one for the rows that have a 64-bit form
    // The problem status, or nullptr when this rule finds none.
    const char* (*problem)(Machine&);
};

// Read top to bottom; the first rule of the row's name that finds a problem decides. Within a rule the
// conditions are tested in the order written.
// clang-format off
const StatusRule StatusRules[] = {
    /*  1 */ {{"Python 2.6.6"}, [](Machine& m) -> const char* {
        int n = pythonProductCount(m);
        if (n > 1) return MultipleVersions;
        if (n == 1 && !pythonRegistered(m)) return VersionMismatch;
        return nullptr; }},
    /*  2 */ {{"pywin32-218.win32-py2.6"}, [](Machine& m) { return pythonPackage(m, pywin32Matches); }},
    /*  3 */ {{"pyserial-py3k-2.5.win32"}, [](Machine& m) { return pythonPackage(m, pyserialMatches); }},
    /*  4 */ {{"scipy-0.14.0b1-python2.6"}, [](Machine& m) { return pythonPackage(m, scipyMatches); }},
    /*  5 */ {{"numpy-1.8.1-python2.6"}, [](Machine& m) { return pythonPackage(m, numpyMatches); }},
    /*  6 */ {{"ctypes-opencv-0.8.0-python26"}, [](Machine& m) -> const char* {
        if (!pythonRegistered(m)) return ReinstallNeeded;
        if (!uninstallKeyExists(m, uninstallkeys::OpenCV11)) return ReinstallNeeded;
        return nullptr; }},
    /*  7 */ {{"OpenCV 2.3.1"}, [](Machine& m) -> const char* {
        bool complete = runtimeModuleComplete(m, "OpenCV23", filelists::openCV231()) && numpyMatches(m) &&
                        pythonRegistered(m) && pywin32Matches(m) && pyserialMatches(m);
        return complete ? nullptr : IncompleteModule; }},
    /*  8 */ {{"OpenCV 2.4.6"}, [](Machine& m) -> const char* {
        if (olderOpenCV24Present(m) || !runtimeItemExists(m, "OpenCV246")) return VersionMismatch;
        bool complete = runtimeModuleComplete(m, "OpenCV246", filelists::openCV246()) && numpyMatches(m) &&
                        pythonRegistered(m) && pywin32Matches(m) && pyserialMatches(m);
        return complete ? nullptr : IncompleteModule; }},
    /*  9 */ {{"OpenCV 2.4.8"}, [](Machine& m) -> const char* {
        bool complete = runtimeModuleComplete(m, "OpenCV248", filelists::openCV248()) && pythonRegistered(m) &&
                        pywin32Matches(m) && pyserialMatches(m) && numpyMatches(m) && scipyMatches(m);
        return complete ? nullptr : IncompleteModule; }},
    /* 10 */ {{"Imaging Source - IC Capture 2.3"}, [](Machine& m) {
        return mismatchUnless(uninstallValueEquals(m, uninstallkeys::ICCapture, "DisplayName", "IC Capture 2.3")); }},
    /* 11 */ {{"MySQL-python-1.2.2.win32-py2.6"}, [](Machine& m) {
        return pythonPackage(m, mysqlPythonMatches); }},
    /* 12 */ {{"Orvanta 9.3.0.524 IPP"}, [](Machine& m) {
        return runtimeModuleComplete(m, "IPP924", filelists::ipp()) ? nullptr : IncompleteModule; }},
    /* 13 */ {{"Orvanta Version X 10.2.1.578 Runtime"}, [](Machine& m) {
        return mismatchIf(msiNameDiffers(m, products::Runtime.productCode, products::Runtime.displayName)); }},
    /* 14 */ {{"Orvanta Lumetra Version X 10.2.1.578 SDK"}, [](Machine& m) {
        return mismatchIf(msiNameDiffers(m, products::LumetraSdk.productCode, products::LumetraSdk.displayName)); }},
    /* 15 */ {{"Orvanta Watchdog - Vivantor 2.0.0.6"}, [](Machine& m) {
        return mismatchIf(msiNameDiffers(m, codes::Watchdog, "Orvanta Watchdog - Vivantor 2.0.0.6")); }},
    /* 16 */ {{"TightVNC 2.6.4 - 32 bit"}, [](Machine& m) { return mismatchIf(tightVncVersionDiffers(m, codes::TightVnc32, ProductBits::ThirtyTwo)); }},
    /* 17 */ {{"TightVNC 2.6.4 - 64 bit"}, [](Machine& m) { return mismatchIf(tightVncVersionDiffers(m, codes::TightVnc64, ProductBits::SixtyFour)); }},
    /* 18 */ {{"Tavrel 1.0.0.1(3587)"}, [](Machine& m) { return mismatchIf(tavrelVersionDiffers(m)); }},
    /* 19 */ {{"PerformanceTest 8.0"}, [](Machine& m) {
        return mismatchUnless(uninstallValueEquals(m, uninstallkeys::PerformanceTest, "DisplayVersion", "8.0.1022.0")); }},
    /* 20 */ {{"Orvanta TeamViewer 8 Host.exe"}, [](Machine& m) {
        return mismatchUnless(uninstallValueEquals(m, uninstallkeys::TeamViewer, "DisplayVersion", "8.0.18930")); }},
    /* 21 */ {{"Speccy v1.25"}, [](Machine& m) {
        return mismatchUnless(uninstallValueEquals(m, uninstallkeys::Speccy, "DisplayVersion", "1.25")); }},
    /* 22 */ {{"ZCL for SONYGigECAM 2.12 - 32 bit", "ZCL for SONYGigECAM 2.12 - 64 bit"}, [](Machine& m) {
        return mismatchUnless(msiVersionIs(m, codes::SonyZcl, "2.12")); }},
    /* 23 */ {{"Basler pylon SDK 2.3.5.2633 - 32 bit"}, [](Machine& m) {
        return mismatchUnless(msiVersionIs(m, codes::PylonSdk2_32, "2.3.2633")); }},
    /* 24 */ {{"Basler pylon SDK 3.2.3.3215 - 32 bit", "Basler pylon SDK 3.2.3.3215 - 64 bit"}, [](Machine& m) {
        return mismatchUnless(msiVersionIs(m, codes::PylonSdk3, "3.2.3215")); }},
    /* 25 */ {{"Basler pylon 4 Runtime 4.0.1.3425 - 32 bit", "Basler pylon 4 Runtime 4.0.1.3425 - 64 bit"}, [](Machine& m) {
        return mismatchUnless(msiVersionIs(m, codes::Pylon4Runtime, "4.0.3425")); }},
    /* 26 */ {{"Basler pylon SDK 2.3.5.2633 - 64 bit"}, [](Machine& m) {
        return mismatchUnless(msiVersionIs(m, codes::PylonSdk2_64, "2.3.2633")); }},
    /* 27 */ {{"DAQNavi PCI-1730 3.1.1.0"}, [](Machine& m) { return mismatchUnless(msiVersionIs(m, codes::DaqNaviPci1730, "3.1.1.0")); }},
    /* 28 */ {{"DAQNavi USB-4711A 3.1.3.0"}, [](Machine& m) { return mismatchUnless(msiVersionIs(m, codes::DaqNaviUsb4711A, "3.1.3.0")); }},
    /* 29 */ {{"DAQNavi USB-4750 3.1.1.0"}, [](Machine& m) { return mismatchUnless(msiVersionIs(m, codes::DaqNaviUsb4750, "3.1.1.0")); }},
    /* 30 */ {{"DAQNavi SDK and Drivers 3.1.4.0"}, [](Machine& m) { return mismatchUnless(msiVersionIs(m, codes::DaqNaviSdk, "3.1.4.0")); }},
    /* 31 */ {{"Adam/Apax .NET Utility 2.04.04"}, [](Machine& m) {
        return mismatchUnless(uninstallValueEquals(m, uninstallkeys::AdamApax, "DisplayVersion", "2.04.04")); }},
    /* 32 */ {{"OPC Scout (SIMATIC NET OPC-Client V6.2-3133)"}, [](Machine& m) {
        return mismatchUnless(uninstallValueEquals(m, uninstallkeys::OpcClient, "DisplayName", "SIMATIC NET OPC CLIENT V6.2 Build 3133")); }},
    /* 33 */ {{"Orvanta Plexor 1.9.0.24"}, [](Machine& m) -> const char* {
        // The client plugs into OPC Scout; without it the client is useless whatever build it is.
        if (!uninstallKeyExists(m, uninstallkeys::OpcClient)) return ReinstallNeeded;
        return mismatchIf(msiNameDiffers(m, products::PlexorClient.productCode, products::PlexorClient.displayName)); }},
};
// clang-format on

bool ruleApplies(const StatusRule& rule, const std::string& displayName) {
    return std::any_of(rule.displayNames.begin(), rule.displayNames.end(),
                       [&](const char* name) { return name && equalsIgnoringCase(name, displayName); });
}

}  // namespace

bool evaluateStatus(Machine& machine, const dvComponentInfo& record) {
    const char* text = Installed;
    for (const StatusRule& rule : StatusRules) {
        if (!ruleApplies(rule, record.displayName())) continue;
        if (const char* problem = rule.problem(machine)) {
            text = problem;
            break;
        }
    }
    record.setStatusText(text);
    return text == Installed;
}

int refreshStatuses(Machine& machine, dvInstallManagerBase& manager, int first, int last) {
    int result = 1;
    const int count = static_cast<int>(manager.componentCount());
    const OperationContext* context = manager.contextIfSet();
    const bool observed = context && context->statusChanged;
    for (int i = std::max(first, 0); i <= last && i < count; ++i) {
        const dvComponentInfo& row = manager.component(static_cast<unsigned>(i));
        PythonProductsOnce oneWalkPerRow(machine);
        const std::string before = observed ? row.statusText() : std::string();
        if (!isInstalled(machine, row)) {
            row.setStatusText(NotInstalled);
            result = -1;
        } else if (!evaluateStatus(machine, row)) {
            result = -1;
        }
        if (observed) {
            const std::string after = row.statusText();
            if (after != before) context->statusChanged(row, before, after);
        }
    }
    return result;
}

bool hasProblemStatus(const dvComponentInfo& record) {
    const std::string text = record.statusText();
    return std::any_of(std::begin(ProblemStatuses), std::end(ProblemStatuses),
                       [&](const char* problem) { return text == problem; });
}

}  // namespace components
