// Detection against the real (Wine) registry and Windows Installer: stand-in packages installed with msiexec
// per machine and per user, Uninstall keys under HKLM and HKCU, modules unpacked below the Runtime folder;
// then what isInstalled and the status rules make of it.
#include "DetectionTestSupport.h"

#include "components/FileLists.h"
#include "components/OrvantaProducts.h"
#include "components/StatusTexts.h"

using namespace detection_test;
using namespace components::status;
// Key names written out rather than taken from the engine's constants, so that a misspelt constant shows.
namespace keys {
constexpr const char* Pywin32 = "pywin32-py2.6";
constexpr const char* Pyserial = "pyserial-py3k-py2.6";
constexpr const char* Numpy = "numpy-py2.6";
constexpr const char* Scipy = "scipy-py2.6";
constexpr const char* Speccy = "Speccy";
constexpr const char* TightVnc = "TightVNC";
constexpr const char* OpcClient = "OPC CLIENT";
}  // namespace keys
const std::string UninstallRootKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
namespace products = components::products;

namespace {

const char* const Python = "Python 2.6.6";
const char* const Pywin32 = "pywin32-218.win32-py2.6";
const char* const Runtime = "Orvanta Version X 10.2.1.578 Runtime";

}  // namespace

class Detection : public DetectionTest {
protected:
    // What the Python packages' own setups leave behind.
    void pythonPackagesAsInstalled(HKEY hive = HKEY_LOCAL_MACHINE) {
        writeUninstallValue(hive, keys::Pywin32, "DisplayName", "Python 2.6 pywin32-218");
        writeUninstallValue(hive, keys::Pyserial, "DisplayName", "Python 2.6 pyserial-py3k-2.5");
        writeUninstallValue(hive, keys::Numpy, "DisplayName", "Python 2.6 numpy-1.8.1");
        writeUninstallValue(hive, keys::Scipy, "DisplayName", "Python 2.6 scipy-0.14.0b1");
    }
};

TEST_F(Detection, PythonCountsEveryProductNamedPython26) {
    EXPECT_FALSE(installed(Python));
    EXPECT_EQ(status(Python), NotInstalled);

    // A product that only mentions Python 2.6 later in its name is no Python.
    ASSERT_NO_FATAL_FAILURE(install("python-2.6-extras"));
    EXPECT_EQ(components::pythonProductCount(machine), 0);
    EXPECT_EQ(status(Python), NotInstalled);

    // One Python 2.6, but not the catalogue's package.
    ASSERT_NO_FATAL_FAILURE(install("python-2.6.5"));
    EXPECT_EQ(components::pythonProductCount(machine), 1);
    EXPECT_TRUE(installed(Python));
    EXPECT_EQ(status(Python), VersionMismatch);

    ASSERT_NO_FATAL_FAILURE(install("python-2.6.6"));
    EXPECT_EQ(components::pythonProductCount(machine), 2);
    EXPECT_EQ(status(Python), MultipleVersions);

    ASSERT_NO_FATAL_FAILURE(uninstall("python-2.6.5"));
    EXPECT_EQ(components::pythonProductCount(machine), 1);
    EXPECT_EQ(status(Python), Installed);
}

TEST_F(Detection, PythonInstalledForTheUserOnlyCounts) {
    ASSERT_NO_FATAL_FAILURE(install("python-2.6.6-peruser"));
    EXPECT_TRUE(components::msiRegistered(machine, standIn("python-2.6.6-peruser").code));
    EXPECT_EQ(status(Python), Installed);
    // The packages that need Python see it too.
    writeUninstallValue(HKEY_CURRENT_USER, keys::Pywin32, "DisplayName", "Python 2.6 pywin32-218");
    EXPECT_EQ(status(Pywin32), Installed);
}

TEST_F(Detection, Pywin32NeedsPythonFirstThenItsOwnBuild) {
    writeUninstallValue(HKEY_LOCAL_MACHINE, keys::Pywin32, "DisplayName", "Python 2.6 pywin32-217");
    EXPECT_TRUE(installed(Pywin32));
    EXPECT_EQ(status(Pywin32), ReinstallNeeded);

    ASSERT_NO_FATAL_FAILURE(install("python-2.6.6"));
    EXPECT_EQ(status(Pywin32), VersionMismatch);

    // The build is compared exactly: another letter case is another build.
    writeUninstallValue(HKEY_LOCAL_MACHINE, keys::Pywin32, "DisplayName", "python 2.6 pywin32-218");
    EXPECT_EQ(status(Pywin32), VersionMismatch);

    // HKCU decides when HKLM does not match.
    writeUninstallValue(HKEY_CURRENT_USER, keys::Pywin32, "DisplayName", "Python 2.6 pywin32-218");
    EXPECT_EQ(status(Pywin32), Installed);
}

TEST_F(Detection, UninstallKeyUnderHkcuOnlyCounts) {
    EXPECT_FALSE(installed("Speccy v1.25"));
    writeUninstallValue(HKEY_CURRENT_USER, keys::Speccy, "DisplayVersion", "1.25");
    EXPECT_TRUE(installed("Speccy v1.25"));
    EXPECT_EQ(status("Speccy v1.25"), Installed);
    writeUninstallValue(HKEY_CURRENT_USER, keys::Speccy, "DisplayVersion", "1.24");
    EXPECT_EQ(status("Speccy v1.25"), VersionMismatch);
}

TEST_F(Detection, StandInRuntimeProvidesItsFolderAndItems) {
    ASSERT_NO_FATAL_FAILURE(install("runtime"));
    EXPECT_EQ(status(Runtime), Installed);
    const std::string folder = runtimeFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\') << folder;
    EXPECT_EQ(folder, programFiles() + "\\Dalvoren AS\\Orvanta Runtime\\");
    for (const char* item : {"python26.dll", "Python\\cv2.pyd", "Python\\OpenCV2_4_3OrOlder\\cv2.pyd",
                             "OrvantaCapture.exe", "VexLib.dll", "Python\\vexlibct.py",
                             "3.0.17.115\\VC8\\VexLib.dll", "3.0.17.115\\Vexlib Beta\\Python\\vexlibct.py"})
        EXPECT_TRUE(components::runtimeItemExists(machine, item)) << item;
    EXPECT_FALSE(components::runtimeItemExists(machine, "IPP924"));
}

TEST_F(Detection, RuntimeUnderAnotherNameHidesItsModules) {
    ASSERT_NO_FATAL_FAILURE(install("runtime"));
    const std::string folder = runtimeFolder();
    ASSERT_FALSE(folder.empty());
    ASSERT_NO_FATAL_FAILURE(unpack("Orvanta_9.3.0.524_IPP.zip", folder + "IPP924"));
    ASSERT_NO_FATAL_FAILURE(unpack("OpenCV2.3.1_build_x86_vc10_bin.zip", folder + "OpenCV23"));
    ASSERT_NO_FATAL_FAILURE(unpack("opencv-246_bin.zip", folder + "OpenCV246"));
    ASSERT_NO_FATAL_FAILURE(unpack("opencv-248_bin_Py2.6_Num1.8.0_Sci0.13.2.zip", folder + "OpenCV248"));
    EXPECT_EQ(status("Orvanta 9.3.0.524 IPP"), Installed);

    // Another build of the Runtime takes the code over; the module folders stay where they are.
    ASSERT_NO_FATAL_FAILURE(uninstall("runtime"));
    ASSERT_NO_FATAL_FAILURE(install("runtime-othername"));
    ASSERT_TRUE(platform_test::pathPresent(folder + "IPP924"));
    EXPECT_FALSE(components::getRuntimeFolder(machine).has_value());
    EXPECT_EQ(status(Runtime), VersionMismatch);
    for (const char* name : {"Orvanta 9.3.0.524 IPP", "OpenCV 2.3.1", "OpenCV 2.4.6", "OpenCV 2.4.8"}) {
        EXPECT_FALSE(installed(name)) << name;
        EXPECT_EQ(status(name), NotInstalled) << name;
    }
}

TEST_F(Detection, OpenCV246MismatchAndIncomplete) {
    ASSERT_NO_FATAL_FAILURE(install("runtime"));
    ASSERT_NO_FATAL_FAILURE(install("python-2.6.6"));
    ASSERT_NO_FATAL_FAILURE(pythonPackagesAsInstalled());
    const std::string folder = runtimeFolder();
    ASSERT_FALSE(folder.empty());
    const char* const OpenCV = "OpenCV 2.4.6";

    // An older 2.4 folder alone counts as OpenCV 2.4.6, in the wrong version.
    CreateDirectoryA((folder + "OpenCV242").c_str(), nullptr);
    EXPECT_TRUE(installed(OpenCV));
    EXPECT_EQ(status(OpenCV), VersionMismatch);

    ASSERT_NO_FATAL_FAILURE(unpack("opencv-246_bin.zip", folder + "OpenCV246"));
    EXPECT_EQ(status(OpenCV), VersionMismatch) << "the older folder still counts";
    platform_test::removeTree(folder + "OpenCV242");
    EXPECT_EQ(status(OpenCV), Installed);

    // scipy is not needed by 2.4.6 ...
    deleteKey(HKEY_LOCAL_MACHINE, UninstallRootKey + keys::Scipy);
    EXPECT_EQ(status(OpenCV), Installed);
    // ... but every module file is.
    ASSERT_TRUE(DeleteFileA((folder + "OpenCV246\\opencv_ts246.dll").c_str()));
    EXPECT_EQ(status(OpenCV), IncompleteModule);

    // A damaged archive unpacked over a fresh folder shows the same.
    platform_test::removeTree(folder + "OpenCV246");
    ASSERT_NO_FATAL_FAILURE(unpack("variants\\opencv-246_bin-without-ts.zip", folder + "OpenCV246"));
    EXPECT_EQ(status(OpenCV), IncompleteModule);
}

TEST_F(Detection, TightVncThroughItsUninstallValueAndThroughItsPackageVersion) {
    const char* const Vnc = "TightVNC 2.6.4 - 32 bit";
    EXPECT_EQ(status(Vnc), NotInstalled);

    ASSERT_NO_FATAL_FAILURE(install("tightvnc-32bit"));
    EXPECT_EQ(status(Vnc), Installed);
    EXPECT_EQ(status("TightVNC 2.6.4 - 64 bit"), NotInstalled);

    // The old setup program's key speaks first.
    writeUninstallValue(HKEY_LOCAL_MACHINE, keys::TightVnc, "DisplayVersion", "2.5.2.0");
    EXPECT_EQ(status(Vnc), VersionMismatch);
    EXPECT_EQ(status("TightVNC 2.6.4 - 64 bit"), VersionMismatch);
    writeUninstallValue(HKEY_LOCAL_MACHINE, keys::TightVnc, "DisplayVersion", "2.6.4.0");
    EXPECT_EQ(status(Vnc), Installed);
    EXPECT_EQ(status("TightVNC 2.6.4 - 64 bit"), Installed);

    deleteKey(HKEY_LOCAL_MACHINE, UninstallRootKey + keys::TightVnc);
    ASSERT_NO_FATAL_FAILURE(uninstall("tightvnc-32bit"));
    ASSERT_NO_FATAL_FAILURE(install("tightvnc-32bit-2.5.2"));
    EXPECT_EQ(components::tightVncVersion(machine, standIn("tightvnc-32bit").code), "2.5.2.0");
    EXPECT_EQ(status(Vnc), VersionMismatch);
}

TEST_F(Detection, PackageVersionsAreComparedAsWindowsInstallerReportsThem) {
    // Four-part versions must come back with their fourth part for the DAQNavi rule to hold.
    ASSERT_NO_FATAL_FAILURE(install("daqnavi-pci1730"));
    EXPECT_EQ(status("DAQNavi PCI-1730 3.1.1.0"), Installed);
    ASSERT_NO_FATAL_FAILURE(uninstall("daqnavi-pci1730"));
    ASSERT_NO_FATAL_FAILURE(install("daqnavi-pci1730-3.1.0.0"));
    EXPECT_EQ(status("DAQNavi PCI-1730 3.1.1.0"), VersionMismatch);

    ASSERT_NO_FATAL_FAILURE(install("sonyzcl"));
    EXPECT_EQ(status("ZCL for SONYGigECAM 2.12 - 32 bit"), Installed);
    EXPECT_EQ(status("ZCL for SONYGigECAM 2.12 - 64 bit"), Installed);
    ASSERT_NO_FATAL_FAILURE(uninstall("sonyzcl"));
    ASSERT_NO_FATAL_FAILURE(install("sonyzcl-2.11"));
    EXPECT_EQ(status("ZCL for SONYGigECAM 2.12 - 64 bit"), VersionMismatch);
}

TEST_F(Detection, PlexorNeedsOpcScoutBeforeItsOwnName) {
    const char* const Plexor = "Orvanta Plexor 1.9.0.24";
    ASSERT_NO_FATAL_FAILURE(install("plexor-othername"));
    EXPECT_EQ(status(Plexor), ReinstallNeeded);
    writeUninstallValue(HKEY_CURRENT_USER, keys::OpcClient, "DisplayName", "SIMATIC NET OPC CLIENT V6.2 Build 3133");
    EXPECT_EQ(status(Plexor), VersionMismatch);
    ASSERT_NO_FATAL_FAILURE(uninstall("plexor-othername"));
    ASSERT_NO_FATAL_FAILURE(install("plexor"));
    EXPECT_EQ(status(Plexor), Installed);
    EXPECT_EQ(status("OPC Scout (SIMATIC NET OPC-Client V6.2-3133)"), Installed);
}

TEST_F(Detection, TavrelIsItsFilesAndItsVersionFile) {
    const char* const Tavrel = "Tavrel 1.0.0.1(3587)";
    const std::string folder = programFiles() + "\\Dalvoren AS\\Tavrel";
    EXPECT_EQ(components::tavrelFolder(machine), folder);
    EXPECT_EQ(status(Tavrel), NotInstalled);
    ASSERT_NO_FATAL_FAILURE(unpack("Tavrel_1.0.0.1(3587).zip", folder));
    EXPECT_EQ(status(Tavrel), Installed) << "no version file is no difference";
    ASSERT_TRUE(platform_test::writeRaw(folder + "\\version.txt", "Tavrel 1.0.0.1(3587)"));
    EXPECT_EQ(status(Tavrel), Installed);
    ASSERT_TRUE(platform_test::writeRaw(folder + "\\version.txt", "Tavrel 1.0.0.0(3500)\r\n"));
    EXPECT_EQ(status(Tavrel), VersionMismatch);
    ASSERT_TRUE(DeleteFileA((folder + "\\gui\\Tavrel.gui.exe").c_str()));
    EXPECT_EQ(status(Tavrel), NotInstalled);
}

TEST_F(Detection, WindowsInstallerVersionComesFromTheRealMsiDll) {
    EXPECT_TRUE(components::windowsInstallerAtLeast3(machine));
    EXPECT_EQ(status("Windows Installer 3.1"), Installed);
}

TEST_F(Detection, DotNet20FromItsSetupKey) {
    const std::string key = components::DotNet20SetupKey;
    // Keep whatever the prefix holds and put it back afterwards.
    auto saved = machine.registry.readValue(platform::Hive::LocalMachine, key, "Install", 4096);
    const bool keyExisted = machine.registry.keyExists(platform::Hive::LocalMachine, key);
    const char* const DotNet = "Microsoft .Net 2.0.50727.42 Redist";

    ASSERT_NO_FATAL_FAILURE(writeDword(HKEY_LOCAL_MACHINE, key, "Install", 1));
    EXPECT_EQ(status(DotNet), Installed);
    ASSERT_NO_FATAL_FAILURE(writeDword(HKEY_LOCAL_MACHINE, key, "Install", 0));
    EXPECT_EQ(status(DotNet), NotInstalled);
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), "Install");
    EXPECT_EQ(status(DotNet), NotInstalled);

    if (saved)
        machine.registry.writeValue(platform::Hive::LocalMachine, key, "Install", *saved);
    else if (!keyExisted)
        deleteKey(HKEY_LOCAL_MACHINE, key);
}

TEST_F(Detection, StandInArchivesHoldExactlyTheFilesTheRulesCheck) {
    struct Case {
        const char* archive;
        const std::vector<std::string>* files;
        bool withBinding;
    } cases[] = {
        {"Orvanta_9.3.0.524_IPP.zip", &components::filelists::ipp(), false},
        {"OpenCV2.3.1_build_x86_vc10_bin.zip", &components::filelists::openCV231(), false},
        {"opencv-246_bin.zip", &components::filelists::openCV246(), true},
        {"opencv-248_bin_Py2.6_Num1.8.0_Sci0.13.2.zip", &components::filelists::openCV248(), true},
        {"Tavrel_1.0.0.1(3587).zip", &components::filelists::tavrel(), false},
    };
    platform_test::ScratchFolder scratch;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive);
        const std::string target = scratch / c.archive;
        ASSERT_NO_FATAL_FAILURE(unpack(c.archive, target));
        std::set<std::string> expected;
        for (const std::string& f : *c.files) expected.insert(platform_test::lower(f));
        if (c.withBinding) expected.insert("python\\cv2.pyd");
        std::set<std::string> found;
        std::vector<std::string> pending = {""};
        while (!pending.empty()) {
            std::string relative = pending.back();
            pending.pop_back();
            WIN32_FIND_DATAA entry;
            HANDLE search = FindFirstFileA((target + "\\" + relative + "*").c_str(), &entry);
            ASSERT_NE(search, INVALID_HANDLE_VALUE);
            do {
                std::string name = entry.cFileName;
                if (name == "." || name == "..") continue;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    pending.push_back(relative + name + "\\");
                else
                    found.insert(platform_test::lower(relative + name));
            } while (FindNextFileA(search, &entry));
            FindClose(search);
        }
        EXPECT_EQ(found, expected);
        EXPECT_TRUE(components::filesComplete(machine, target, *c.files));
    }
}
