// The probe building blocks on the in-memory machine: where each looks, in which order, and what counts as
// a "no".
#include <gtest/gtest.h>

#include <algorithm>

#include "DetectionMachine.h"
#include "components/Probes.h"

using namespace components;
using namespace detectiontest;

namespace {
const std::string Code = "{AB1CDEF1-2222-3333-4444-555555555555}";
}  // namespace

TEST(Probes, MsiRegisteredInAnyContext) {
    for (MsiContext context : {MsiContext::Machine, MsiContext::UserManaged, MsiContext::UserUnmanaged}) {
        FakeMachine m;
        registerProduct(m, Code, "Product", "1.2.3", context);
        EXPECT_TRUE(msiRegistered(m, Code)) << int(context);
        // Product codes are GUIDs: their letter case does not matter.
        EXPECT_TRUE(msiRegistered(m, "{ab1cdef1-2222-3333-4444-555555555555}")) << int(context);
    }
    FakeMachine empty;
    EXPECT_FALSE(msiRegistered(empty, Code));
}

TEST(Probes, MsiRegisteredReadsTheVersionIntoSixtyFourCharacters) {
    FakeMachine m;
    registerProduct(m, Code, "Product", std::string(63, '1'));
    EXPECT_TRUE(msiRegistered(m, Code));
    FakeMachine tooLong;
    registerProduct(tooLong, Code, "Product", std::string(64, '1'));
    EXPECT_FALSE(msiRegistered(tooLong, Code));
}

TEST(Probes, MsiVersionIsComparesWithoutCase) {
    struct Case {
        const char* installed;
        const char* wanted;
        bool same;
    } cases[] = {
        {"3.1.1.0", "3.1.1.0", true}, {"2.12", "2.12", true},   {"4.0.3425B", "4.0.3425b", true},
        {"3.1.1", "3.1.1.0", false},  {"2.11", "2.12", false},  {"3.1.1.0 ", "3.1.1.0", false},
    };
    for (const Case& c : cases) {
        FakeMachine m;
        registerProduct(m, Code, "Product", c.installed, MsiContext::UserUnmanaged);
        EXPECT_EQ(msiVersionIs(m, Code, c.wanted), c.same) << c.installed << " vs " << c.wanted;
    }
    FakeMachine empty;
    EXPECT_FALSE(msiVersionIs(empty, Code, "1.0"));
}

TEST(Probes, MsiNameDiffersOnlyForARegisteredProduct) {
    struct Case {
        const char* installed;  // nullptr: not registered
        bool differs;
    } cases[] = {
        {nullptr, false},
        {"Orvanta Plexor 1.9.0.24", false},
        {"ORVANTA PLEXOR 1.9.0.24", false},
        {"Orvanta Plexor 1.9.0.23", true},
        {"", true},
    };
    for (const Case& c : cases) {
        FakeMachine m;
        if (c.installed) registerProduct(m, Code, c.installed);
        EXPECT_EQ(msiNameDiffers(m, Code, "Orvanta Plexor 1.9.0.24"), c.differs) << (c.installed ? c.installed : "-");
    }
    // A name that does not fit the 512-character buffer cannot be read, which counts as a difference.
    FakeMachine m;
    registerProduct(m, Code, std::string(512, 'x'));
    EXPECT_TRUE(msiNameDiffers(m, Code, std::string(512, 'x')));
}

TEST(Probes, UninstallKeysAreLookedForUnderHklmThenHkcu) {
    struct Case {
        bool inMachine, inUser;
    } cases[] = {{true, false}, {false, true}, {true, true}, {false, false}};
    for (const Case& c : cases) {
        FakeMachine m;
        if (c.inMachine) setUninstallValue(m, "Speccy", "UninstallString", "x", Hive::LocalMachine);
        if (c.inUser) setUninstallValue(m, "Speccy", "UninstallString", "x", Hive::CurrentUser);
        EXPECT_EQ(uninstallKeyExists(m, "Speccy"), c.inMachine || c.inUser);
        EXPECT_EQ(uninstallValuePresent(m, "Speccy", "UninstallString"), c.inMachine || c.inUser);
    }
}

TEST(Probes, UninstallValuePresentFallsBackToHkcuWhenHklmLacksTheValue) {
    FakeMachine m;
    setUninstallValue(m, "TeamViewer 8 Host", "DisplayName", "TeamViewer 8 Host", Hive::LocalMachine);
    EXPECT_FALSE(uninstallValuePresent(m, "TeamViewer 8 Host", "UninstallString"));
    setUninstallValue(m, "TeamViewer 8 Host", "UninstallString", "u.exe", Hive::CurrentUser);
    EXPECT_TRUE(uninstallValuePresent(m, "TeamViewer 8 Host", "UninstallString"));
}

TEST(Probes, UninstallValuesLongerThanTheBufferAreUnreadable) {
    FakeMachine m;
    setUninstallValue(m, "Speccy", "DisplayVersion", std::string(4095, '1'));  // 4096 bytes with its zero
    setUninstallValue(m, "Speccy", "UninstallString", std::string(4096, 'u'));
    EXPECT_TRUE(uninstallValuePresent(m, "Speccy", "DisplayVersion"));
    EXPECT_FALSE(uninstallValuePresent(m, "Speccy", "UninstallString"));
    EXPECT_FALSE(uninstallValueEquals(m, "Speccy", "UninstallString", std::string(4096, 'u')));
}

TEST(Probes, UninstallValueEqualsIsExactAndLetsHkcuDecideWhenHklmDoesNotMatch) {
    struct Case {
        const char* machine;  // nullptr: no value there
        const char* user;
        bool equal;
    } cases[] = {
        {"IC Capture 2.3", nullptr, true},
        {nullptr, "IC Capture 2.3", true},
        {"IC Capture 2.2", "IC Capture 2.3", true},
        {"IC Capture 2.3", "IC Capture 2.2", true},
        {"IC capture 2.3", nullptr, false},
        {"IC Capture 2.3 ", nullptr, false},
        {"IC Capture 2.2", "IC CAPTURE 2.3", false},
        {nullptr, nullptr, false},
    };
    for (const Case& c : cases) {
        FakeMachine m;
        if (c.machine) setUninstallValue(m, "ICCapture22_is1", "DisplayName", c.machine, Hive::LocalMachine);
        if (c.user) setUninstallValue(m, "ICCapture22_is1", "DisplayName", c.user, Hive::CurrentUser);
        EXPECT_EQ(uninstallValueEquals(m, "ICCapture22_is1", "DisplayName", "IC Capture 2.3"), c.equal)
            << (c.machine ? c.machine : "-") << " / " << (c.user ? c.user : "-");
    }
}

TEST(Probes, RuntimeFolderOnlyWhileTheRuntimeIsRegisteredUnderItsOwnName) {
    struct Case {
        const char* what;
        void (*setUp)(FakeMachine&);
        bool found;
    } cases[] = {
        {"registered, key written", [](FakeMachine& m) { registerRuntime(m); }, true},
        {"name in other letter case",
         [](FakeMachine& m) { registerRuntime(m, "ORVANTA VERSION X 10.2.1.578 RUNTIME"); }, true},
        {"per-user registration",
         [](FakeMachine& m) {
             registerRuntime(m);
             m.msi.unregisterProduct(products::Runtime.productCode);
             registerProduct(m, products::Runtime.productCode, products::Runtime.displayName, "1", MsiContext::UserManaged);
         }, true},
        {"not registered",
         [](FakeMachine& m) {
             registerRuntime(m);
             m.msi.unregisterProduct(products::Runtime.productCode);
         }, false},
        {"another build under the same code",
         [](FakeMachine& m) {
             registerRuntime(m, "Orvanta Version X 10.2.1.577 Runtime");
             m.registry.setString(Hive::LocalMachine, products::installPathKey(products::Runtime.displayName),
                                  "InstallPath", RuntimeFolder);
         }, false},
        {"key missing",
         [](FakeMachine& m) {
             registerRuntime(m);
             m.registry.deleteKeyTree(Hive::LocalMachine, products::installPathKey(products::Runtime.displayName));
         }, false},
        {"key only under HKCU",
         [](FakeMachine& m) {
             registerRuntime(m);
             m.registry.deleteKeyTree(Hive::LocalMachine, products::installPathKey(products::Runtime.displayName));
             m.registry.setString(Hive::CurrentUser, products::installPathKey(products::Runtime.displayName),
                                  "InstallPath", RuntimeFolder);
         }, false},
        {"value too long for 260 characters",
         [](FakeMachine& m) {
             registerRuntime(m);
             m.registry.setString(Hive::LocalMachine, products::installPathKey(products::Runtime.displayName),
                                  "InstallPath", "C:\\" + std::string(257, 'r'));
         }, false},
        {"value empty",
         [](FakeMachine& m) {
             registerRuntime(m);
             m.registry.setString(Hive::LocalMachine, products::installPathKey(products::Runtime.displayName),
                                  "InstallPath", "");
         }, false},
    };
    for (const Case& c : cases) {
        FakeMachine m;
        c.setUp(m);
        auto folder = getRuntimeFolder(m);
        EXPECT_EQ(folder.has_value(), c.found) << c.what;
        if (folder && c.found) {
            EXPECT_EQ(*folder, RuntimeFolder) << c.what;
        }
        m.files.addFolder(RuntimeFolder + "OpenCV23");
        EXPECT_EQ(runtimeItemExists(m, "OpenCV23"), c.found) << c.what;
    }
}

TEST(Probes, RuntimeFolderOfTheLongestFittingValueIsRead) {
    FakeMachine m;
    registerRuntime(m);
    const std::string longest = "C:\\" + std::string(255, 'r') + "\\";  // 259 characters + terminator = 260
    m.registry.setString(Hive::LocalMachine, products::installPathKey(products::Runtime.displayName), "InstallPath",
                         longest);
    EXPECT_EQ(getRuntimeFolder(m), longest);
}

TEST(Probes, RuntimeItemsAreAppendedToTheFolderAsItIs) {
    FakeMachine m;
    registerRuntime(m);
    // A folder stored without its closing backslash is used as it is: the item lands beside it.
    m.registry.setString(Hive::LocalMachine, products::installPathKey(products::Runtime.displayName), "InstallPath",
                         "C:\\Program Files\\Dalvoren AS\\Runtime");
    m.files.addFolder("C:\\Program Files\\Dalvoren AS\\RuntimeIPP924");
    m.files.addFolder("C:\\Program Files\\Dalvoren AS\\Runtime\\OpenCV23");
    EXPECT_TRUE(runtimeItemExists(m, "IPP924"));
    EXPECT_FALSE(runtimeItemExists(m, "OpenCV23"));
}

TEST(Probes, OlderOpenCV24IsAnyOfTheFoldersFrom242To245) {
    for (const char* folder : {"OpenCV242", "OpenCV243", "OpenCV244", "OpenCV245"}) {
        FakeMachine m;
        registerRuntime(m);
        m.files.addFolder(RuntimeFolder + folder);
        EXPECT_TRUE(olderOpenCV24Present(m)) << folder;
    }
    FakeMachine m;
    registerRuntime(m);
    for (const char* folder : {"OpenCV241", "OpenCV246", "OpenCV248", "OpenCV24"}) m.files.addFolder(RuntimeFolder + folder);
    EXPECT_FALSE(olderOpenCV24Present(m));
}

TEST(Probes, FilesCompleteNeedsTheFolderAndStopsAtTheFirstMissingFile) {
    FakeMachine m;
    const std::vector<std::string> list = {"a.dll", "sub\\b.dll", "c.dll", "d.dll"};
    EXPECT_FALSE(filesComplete(m, "C:\\mod", {}));
    m.files.addFolder("C:\\mod");
    EXPECT_TRUE(filesComplete(m, "C:\\mod", {}));
    m.files.addFile("C:\\mod\\a.dll");
    m.files.addFile("C:\\mod\\sub\\b.dll");
    m.files.addFile("C:\\mod\\d.dll");
    m.files.journal.clear();
    EXPECT_FALSE(filesComplete(m, "C:\\mod", list));
    ASSERT_FALSE(m.files.journal.empty());
    EXPECT_EQ(m.files.journal.back(), "find C:\\mod\\c.dll") << "d.dll must not be looked for";
    m.files.addFile("C:\\MOD\\C.DLL");
    EXPECT_TRUE(filesComplete(m, "C:\\mod", list));
}

TEST(Probes, PythonProductsAreThoseWhoseNameBeginsWithPython26) {
    FakeMachine m;
    registerProduct(m, "{A0000000-0000-0000-0000-000000000001}", "Python 2.6.6", "2.6.6150");
    registerProduct(m, "{A0000000-0000-0000-0000-000000000002}", "Python 2.6.5", "2.6.5150", MsiContext::UserUnmanaged);
    registerProduct(m, "{A0000000-0000-0000-0000-000000000003}", "Python 2.6", "2.6.0", MsiContext::UserManaged);
    registerProduct(m, "{A0000000-0000-0000-0000-000000000004}", "Extras for Python 2.6");
    registerProduct(m, "{A0000000-0000-0000-0000-000000000005}", "python 2.6.6");
    registerProduct(m, "{A0000000-0000-0000-0000-000000000006}", "Python 2.7.3");
    registerProduct(m, "{A0000000-0000-0000-0000-000000000007}", " Python 2.6.6");
    registerProduct(m, "{A0000000-0000-0000-0000-000000000008}", "Python 2.62");
    EXPECT_EQ(pythonProductCount(m), 4);
    EXPECT_EQ(pythonProducts(m), (std::vector<std::string>{"{A0000000-0000-0000-0000-000000000001}",
                                                           "{A0000000-0000-0000-0000-000000000002}",
                                                           "{A0000000-0000-0000-0000-000000000003}",
                                                           "{A0000000-0000-0000-0000-000000000008}"}));
}

TEST(Probes, PythonProductsSkipFailedIndexesAndUnreadableNames) {
    FakeMachine m;
    for (int i = 0; i < 6; ++i)
        registerProduct(m, "{B000000" + std::to_string(i) + "-0000-0000-0000-000000000000}", "Python 2.6." + std::to_string(i));
    m.msi.failEnumAt(1, platform::win32error::BadConfiguration);
    m.msi.failEnumAt(2, platform::win32error::AccessDenied);
    // A name that does not fit 256 characters is unreadable in every context.
    registerProduct(m, "{C0000000-0000-0000-0000-000000000000}", "Python 2.6" + std::string(250, '.'));
    EXPECT_EQ(pythonProductCount(m), 4);
}

namespace {
// An installer service that never says "no more items".
class BrokenEnumeration : public platform::fake::FakeWindowsInstaller {
public:
    uint32_t enumProducts(uint32_t index, std::string& code) override {
        ++calls;
        if (index < 3) {
            code = "{D000000" + std::to_string(index) + "-0000-0000-0000-000000000000}";
            return platform::win32error::Success;
        }
        return platform::win32error::InvalidParameter;
    }
    std::optional<std::string> productInfoEx(const std::string&, platform::MsiContext, const std::string&,
                                             std::size_t) override {
        return std::string("Python 2.6.6");
    }
    int calls = 0;
};
}  // namespace

TEST(Probes, PythonProductWalkEndsWhenTheEnumerationKeepsFailing) {
    FakeMachine fake;
    BrokenEnumeration msi;
    platform::Machine m{fake.registry, msi,        fake.files, fake.processes, fake.environment, fake.http,
                        fake.clock,    fake.debug, fake.profile, fake.versions, fake.links};
    EXPECT_EQ(pythonProductCount(m), 3);
    EXPECT_LT(msi.calls, 1000);
}

TEST(Probes, DotNet20NeedsInstallEqualToOne) {
    struct Case {
        const char* what;
        void (*setUp)(FakeMachine&);
        bool installed;
    } cases[] = {
        {"dword 1", [](FakeMachine& m) { m.registry.setDword(Hive::LocalMachine, DotNet20SetupKey, "Install", 1); }, true},
        {"dword 0", [](FakeMachine& m) { m.registry.setDword(Hive::LocalMachine, DotNet20SetupKey, "Install", 0); }, false},
        {"dword 2", [](FakeMachine& m) { m.registry.setDword(Hive::LocalMachine, DotNet20SetupKey, "Install", 2); }, false},
        {"binary 01 00 00 00 ff",
         [](FakeMachine& m) {
             m.registry.createKey(Hive::LocalMachine, DotNet20SetupKey);
             m.registry.writeValue(Hive::LocalMachine, DotNet20SetupKey, "Install",
                                   platform::RegistryValue{platform::RegBinary, {1, 0, 0, 0, 0xff}});
         }, true},
        {"string \"1\" (two bytes)", [](FakeMachine& m) { m.registry.setString(Hive::LocalMachine, DotNet20SetupKey, "Install", "1"); }, false},
        {"key without the value", [](FakeMachine& m) { m.registry.createKey(Hive::LocalMachine, DotNet20SetupKey); }, false},
        {"only under HKCU", [](FakeMachine& m) { m.registry.setDword(Hive::CurrentUser, DotNet20SetupKey, "Install", 1); }, false},
        {"nothing", [](FakeMachine&) {}, false},
    };
    for (const Case& c : cases) {
        FakeMachine m;
        c.setUp(m);
        EXPECT_EQ(dotNet20Installed(m), c.installed) << c.what;
    }
}

TEST(Probes, WindowsInstallerAtLeast3ReadsTheMajorNumberOfMsiDll) {
    struct Case {
        const char* version;  // nullptr: no version resource
        bool atLeast3;
    } cases[] = {
        {"2.0.2600.2", false}, {"3.1.4000.2435", true}, {"3.0", true},  {"4.5.6001.22159", true},
        {"5.0.7601.17514", true}, {"10.0.19041.1", true}, {"3", false},   {".3.1", false},
        {"", false},           {"x3.1", false},         {nullptr, false}, {"99999999999999999999.1", true},
    };
    for (const Case& c : cases) {
        FakeMachine m;
        if (c.version) m.msi.setFileVersion("C:\\windows\\system32\\Msi.dll", c.version);
        EXPECT_EQ(windowsInstallerAtLeast3(m), c.atLeast3) << (c.version ? c.version : "none");
    }
}

TEST(Probes, WindowsInstallerVersionIsTakenFromTheSystemFolderWithOrWithoutItsTrailingSeparator) {
    for (const char* system : {"D:\\WINNT\\system32", "D:\\WINNT\\system32\\", "D:/WINNT/system32/"}) {
        FakeMachine m;
        m.environment.system = system;
        m.msi.setFileVersion("D:\\winnt\\system32\\msi.dll", "3.1.4000.1823");
        EXPECT_TRUE(windowsInstallerAtLeast3(m)) << system;
    }
    FakeMachine noSystem;
    noSystem.environment.system.reset();
    noSystem.msi.setFileVersion("C:\\windows\\system32\\Msi.dll", "4.5");
    EXPECT_FALSE(windowsInstallerAtLeast3(noSystem));
}

TEST(Probes, TavrelFolderIsBelowProgramFiles) {
    FakeMachine m;
    EXPECT_FALSE(tavrelFolder(m).has_value());
    m.environment.variables["PROGRAMFILES(X86)"] = "D:\\Programs (x86)\\";
    EXPECT_EQ(tavrelFolder(m), "D:\\Programs (x86)\\Dalvoren AS\\Tavrel");
    m.environment.variables["PROGRAMFILES"] = "C:\\Program Files";
    EXPECT_EQ(tavrelFolder(m), "C:\\Program Files\\Dalvoren AS\\Tavrel");
}

TEST(Probes, TavrelFilesCompleteNeedsAllTenFiles) {
    FakeMachine m;
    m.environment.variables["PROGRAMFILES"] = ProgramFiles;
    EXPECT_FALSE(tavrelFilesComplete(m));
    addTavrel(m, false);
    EXPECT_TRUE(tavrelFilesComplete(m));
    m.files.deleteFile(TavrelFolder + "\\client\\Tavrel.RemoteInterfaces.dll");
    EXPECT_FALSE(tavrelFilesComplete(m));
}

TEST(Probes, TavrelVersionDiffersByTheFirstLineOfItsVersionFile) {
    struct Case {
        const char* content;  // nullptr: no version file
        bool differs;
    } cases[] = {
        {nullptr, false},
        {"Tavrel 1.0.0.1(3587)", false},
        {"Tavrel 1.0.0.1(3587)\r\nsecond line", false},
        {"Tavrel 1.0.0.1(3587)\n", false},
        {"Tavrel 1.0.0.1(3586)", true},
        {"tavrel 1.0.0.1(3587)", true},
        {"Tavrel 1.0.0.1(3587) ", true},
        {"\nTavrel 1.0.0.1(3587)", true},
        {"", true},
    };
    for (const Case& c : cases) {
        FakeMachine m;
        m.environment.variables["PROGRAMFILES"] = ProgramFiles;
        m.files.addFolder(TavrelFolder);
        if (c.content) m.files.addFile(TavrelFolder + "\\version.txt", c.content);
        EXPECT_EQ(tavrelVersionDiffers(m), c.differs) << (c.content ? c.content : "none");
    }
    FakeMachine noFolder;
    noFolder.environment.variables["PROGRAMFILES"] = ProgramFiles;
    EXPECT_FALSE(tavrelVersionDiffers(noFolder));
}

TEST(Probes, TavrelVersionFileThatCannotBeReadIsNoDifference) {
    FakeMachine m;
    m.environment.variables["PROGRAMFILES"] = ProgramFiles;
    m.files.addFile(TavrelFolder + "\\version.txt", "Tavrel 0.9");
    m.files.fault = [](const std::string& op, const std::string&) { return op == "open"; };
    EXPECT_FALSE(tavrelVersionDiffers(m));
}

TEST(Probes, TightVncVersionPrefersItsUninstallKeyOverTheInstallerProduct) {
    const std::string code = codes::TightVnc32;
    struct Case {
        const char* what;
        const char* machineValue;  // DisplayVersion under HKLM
        const char* userValue;     // under HKCU
        const char* msiVersion;    // product registered with this version
        std::optional<std::string> version;
    } cases[] = {
        {"key under HKLM", "2.6.4.0", nullptr, nullptr, "2.6.4.0"},
        {"key under HKCU", nullptr, "2.5.2.0", nullptr, "2.5.2.0"},
        {"key wins over the product", "2.5.2.0", nullptr, "2.6.4.0", "2.5.2.0"},
        {"product only", nullptr, nullptr, "2.6.4.0", "2.6.4.0"},
        {"neither", nullptr, nullptr, nullptr, std::nullopt},
    };
    for (const Case& c : cases) {
        FakeMachine m;
        if (c.machineValue) setUninstallValue(m, "TightVNC", "DisplayVersion", c.machineValue, Hive::LocalMachine);
        if (c.userValue) setUninstallValue(m, "TightVNC", "DisplayVersion", c.userValue, Hive::CurrentUser);
        if (c.msiVersion) registerProduct(m, code, "TightVNC", c.msiVersion);
        EXPECT_EQ(tightVncVersion(m, code), c.version) << c.what;
        EXPECT_EQ(tightVncVersionDiffers(m, code), c.version != std::optional<std::string>("2.6.4.0")) << c.what;
    }
    // The other form's product does not stand in for this one.
    FakeMachine m;
    registerProduct(m, codes::TightVnc64, "TightVNC", "2.6.4.0");
    EXPECT_TRUE(tightVncVersionDiffers(m, codes::TightVnc32));
}

// The 64-bit TightVNC's setup writes its key in the machine's 64-bit view, which the 32-bit program sees only
// when it asks for it; the 32-bit TightVNC's key is in the program's own view.
TEST(TightVncVersion, EachFormReadsTheViewItsSetupWrites) {
    struct Case {
        const char* what;
        ProductBits bits;
        const char* value64;  // DisplayVersion in HKLM's 64-bit view
        const char* value32;  // DisplayVersion in HKLM's 32-bit view (the program's own)
        std::optional<std::string> version;
    } cases[] = {
        {"64-bit key, 64-bit form", ProductBits::SixtyFour, "2.6.4.0", nullptr, "2.6.4.0"},
        {"64-bit key, 32-bit form", ProductBits::ThirtyTwo, "2.6.4.0", nullptr, std::nullopt},
        {"both keys, 64-bit form", ProductBits::SixtyFour, "2.6.4.0", "2.5.2.0", "2.6.4.0"},
        {"both keys, 32-bit form", ProductBits::ThirtyTwo, "2.6.4.0", "2.5.2.0", "2.5.2.0"},
        {"32-bit build on a 64-bit machine, 64-bit form", ProductBits::SixtyFour, nullptr, "2.5.2.0", "2.5.2.0"},
    };
    for (const Case& c : cases) {
        FakeMachine m;
        if (c.value64) setUninstallValue(m, "TightVNC", "DisplayVersion", c.value64, Hive::LocalMachine64);
        if (c.value32) setUninstallValue(m, "TightVNC", "DisplayVersion", c.value32, Hive::LocalMachine);
        EXPECT_EQ(tightVncVersion(m, codes::TightVnc64, c.bits), c.version) << c.what;
    }
}

namespace {
// Counts the walks over every product (each begins at index 0).
class CountingInstaller : public platform::fake::FakeWindowsInstaller {
public:
    uint32_t enumProducts(uint32_t index, std::string& code) override {
        if (index == 0) ++walks;
        return FakeWindowsInstaller::enumProducts(index, code);
    }
    int walks = 0;
};
}  // namespace

TEST(Probes, OneRowRefreshWalksTheProductsOnceAndTheNextRefreshWalksAgain) {
    FakeMachine fake;
    CountingInstaller msi;
    platform::Machine m{fake.registry, msi,        fake.files, fake.processes, fake.environment, fake.http,
                        fake.clock,    fake.debug, fake.profile, fake.versions, fake.links};
    msi.registerProduct(codes::Python266, MsiContext::Machine, FakeProduct{"Python 2.6.6", "2.6.6150", {}});

    std::string name, status, action;
    dvInstallManagerBase manager;
    manager.setComponents({dvComponentInfo("Python 2.6.6", "", "", "", "", false, false, &name, &status, &action, "")});
    EXPECT_EQ(refreshStatuses(m, manager, 0, 0), 1);
    EXPECT_EQ(status, "Installed");
    EXPECT_EQ(msi.walks, 1);

    // Nothing is kept from one refresh to the next.
    msi.registerProduct(detectiontest::OtherPythonCode, MsiContext::UserUnmanaged,
                        FakeProduct{"Python 2.6.5", "2.6.5150", {}});
    EXPECT_EQ(refreshStatuses(m, manager, 0, 0), -1);
    EXPECT_EQ(status, "Multiple Versions");
    EXPECT_EQ(msi.walks, 2);
    EXPECT_EQ(pythonProductCount(m), 2);
    EXPECT_EQ(msi.walks, 3);

    // Scopes nest, and a scope only serves its own machine.
    {
        PythonProductsOnce outer(m);
        EXPECT_EQ(pythonProductCount(m), 2);
        FakeMachine other;
        EXPECT_EQ(pythonProductCount(other), 0);
        {
            PythonProductsOnce inner(m);
            EXPECT_EQ(pythonProductCount(m), 2);
        }
        EXPECT_EQ(pythonProductCount(m), 2);
    }
    EXPECT_EQ(msi.walks, 5);
}
