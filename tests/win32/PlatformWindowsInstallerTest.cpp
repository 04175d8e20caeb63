// The Windows Installer layer against the real (Wine) Windows Installer: packages built by wixl
// (tests/fixtures/platform/*.wxs) are installed with msiexec, queried in each context, enumerated and removed.
#include "PlatformTestSupport.h"

#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32Misc.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32WindowsInstaller.h"

#include <algorithm>
#include <cstdio>
#include <regex>

using namespace platform;

namespace {

struct Package {
    const char* msi;  // below INSTALLER_FIXTURES\platform
    const char* code;
    const char* name;
    const char* version;
    const char* installedFile;  // below the folder of knownFolderVariable
    const char* folderVariable;
};

const Package machinePackage = {"machine-package.msi", "{6B3F23A3-1DB2-45BA-BC5D-0F4F4622F1CB}",
                                "Platform Probe Machine Package", "3.1.4.1", "PlatformProbeMachine\\payload.txt",
                                "ProgramFiles"};
const Package userPackage = {"user-package.msi", "{AB1A6125-550F-4AE6-88E0-1B29EBAD99D0}",
                             "Platform Probe User Package", "2.7.1.8", "PlatformProbeUser\\payload.txt",
                             "LOCALAPPDATA"};

const MsiContext allContexts[] = {MsiContext::Machine, MsiContext::UserManaged, MsiContext::UserUnmanaged};

std::string contextName(MsiContext c) {
    switch (c) {
        case MsiContext::Machine: return "machine";
        case MsiContext::UserManaged: return "user-managed";
        case MsiContext::UserUnmanaged: return "user-unmanaged";
    }
    return "?";
}

class WindowsInstallerTest : public ::testing::Test {
protected:
    bool registeredAnywhere(const Package& p) {
        for (MsiContext c : allContexts)
            if (msi.productInfoEx(p.code, c, "VersionString", 64)) return true;
        return false;
    }

    // msiexec from the system folder, started and waited for as the installer starts it.
    std::optional<uint32_t> runMsiexec(const std::string& arguments) {
        std::string program = *environment.systemFolder() + "\\msiexec.exe";
        auto process = processes.start(program, "\"" + program + "\" " + arguments);
        if (!process || !process->wait(180000)) return std::nullopt;
        return process->exitCode();
    }

    // Installs the package unless an earlier, interrupted run left it installed; removed again at the end.
    void install(const Package& p) {
        const std::string fixtures = platform_test::fixturesFolder();
        ASSERT_FALSE(fixtures.empty()) << "INSTALLER_FIXTURES is not set";
        const std::string msiPath = fixtures + "\\platform\\" + p.msi;
        ASSERT_TRUE(platform_test::pathPresent(msiPath))
            << msiPath << " is missing: run tests/fixtures/generate.sh FIXTURES_DIR WIN_BUILD_DIR";
        installed_.push_back(&p);
        if (registeredAnywhere(p)) return;
        ASSERT_EQ(runMsiexec("/i \"" + msiPath + "\" /passive"), 0u) << msiPath;
        ASSERT_TRUE(registeredAnywhere(p)) << p.code;
    }

    std::string installedFile(const Package& p) {
        auto folder = environment.variable(p.folderVariable, 1024);
        return folder ? *folder + "\\" + p.installedFile : std::string();
    }

    void TearDown() override {
        for (const Package* p : installed_)
            if (registeredAnywhere(*p)) msi.configureProductAbsent(p->code);
    }

    win32::Win32WindowsInstaller msi;
    win32::Win32Processes processes;
    win32::Win32Environment environment;

private:
    std::vector<const Package*> installed_;
};

TEST_F(WindowsInstallerTest, AMachinePackageAnswersInTheMachineContextOnly) {
    ASSERT_NO_FATAL_FAILURE(install(machinePackage));
    struct Case {
        MsiContext context;
        bool answers;
    };
    // Either user context may refuse with "unknown product" or "unknown property": any failure is a no.
    for (Case c : {Case{MsiContext::Machine, true}, Case{MsiContext::UserManaged, false},
                   Case{MsiContext::UserUnmanaged, false}}) {
        SCOPED_TRACE(contextName(c.context));
        auto version = msi.productInfoEx(machinePackage.code, c.context, "VersionString", 64);
        ASSERT_EQ(version.has_value(), c.answers);
        if (version) {
            EXPECT_EQ(*version, machinePackage.version);
        }
    }
    EXPECT_EQ(msi.productInfoEx(machinePackage.code, MsiContext::Machine, "InstalledProductName", 256),
              machinePackage.name);
}

TEST_F(WindowsInstallerTest, ProductPropertiesAreReadIntoTheCallersBuffer) {
    ASSERT_NO_FATAL_FAILURE(install(machinePackage));
    const std::size_t versionLength = std::string(machinePackage.version).size();
    struct Case {
        const char* property;
        std::size_t bufferChars;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"VersionString", 512, machinePackage.version},
        {"InstalledProductName", 512, machinePackage.name},
        {"VersionString", versionLength + 1, machinePackage.version},  // exactly fits with its terminator
        {"VersionString", versionLength, std::nullopt},
        {"VersionString", 1, std::nullopt},
        {"VersionString", 0, std::nullopt},
        {"NoSuchProperty", 512, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.property) + " in " + std::to_string(c.bufferChars));
        EXPECT_EQ(msi.productInfo(machinePackage.code, c.property, c.bufferChars), c.expected);
        EXPECT_EQ(msi.productInfoEx(machinePackage.code, MsiContext::Machine, c.property, c.bufferChars),
                  c.expected);
    }
}

TEST_F(WindowsInstallerTest, TheEnumerationFindsAnInstalledProduct) {
    ASSERT_NO_FATAL_FAILURE(install(machinePackage));
    std::vector<std::string> codes;
    uint32_t result = 0;
    for (uint32_t index = 0; index < 100000; ++index) {
        std::string code;
        result = msi.enumProducts(index, code);
        if (result == win32error::NoMoreItems) break;
        if (result == win32error::Success) codes.push_back(code);
    }
    EXPECT_EQ(result, win32error::NoMoreItems);
    EXPECT_NE(std::find(codes.begin(), codes.end(), machinePackage.code), codes.end());
}

TEST_F(WindowsInstallerTest, RemovingAProductUnregistersItAndItsFiles) {
    ASSERT_NO_FATAL_FAILURE(install(machinePackage));
    const std::string file = installedFile(machinePackage);
    EXPECT_TRUE(platform_test::pathPresent(file)) << file;

    EXPECT_EQ(msi.configureProductAbsent(machinePackage.code), win32error::Success);
    EXPECT_FALSE(registeredAnywhere(machinePackage));
    EXPECT_FALSE(msi.productInfo(machinePackage.code, "VersionString", 512).has_value());
    EXPECT_FALSE(platform_test::pathPresent(file)) << file;
    std::string code;
    for (uint32_t index = 0; msi.enumProducts(index, code) != win32error::NoMoreItems && index < 100000; ++index)
        EXPECT_NE(code, machinePackage.code);
    // Removing it again: Windows Installer does not know it any more.
    EXPECT_EQ(msi.configureProductAbsent(machinePackage.code), win32error::UnknownProduct);
}

TEST_F(WindowsInstallerTest, APerUserPackageAnswersInTheUserContext) {
    ASSERT_NO_FATAL_FAILURE(install(userPackage));
    EXPECT_FALSE(msi.productInfoEx(userPackage.code, MsiContext::Machine, "VersionString", 64).has_value());
    EXPECT_FALSE(msi.productInfoEx(userPackage.code, MsiContext::UserManaged, "VersionString", 64).has_value());
    EXPECT_EQ(msi.productInfoEx(userPackage.code, MsiContext::UserUnmanaged, "VersionString", 64),
              userPackage.version);
    EXPECT_EQ(msi.productInfo(userPackage.code, "InstalledProductName", 512), userPackage.name);

    EXPECT_EQ(msi.configureProductAbsent(userPackage.code), win32error::Success);
    EXPECT_FALSE(registeredAnywhere(userPackage));
}

TEST_F(WindowsInstallerTest, AnUnknownProductIsNotRegisteredAnywhere) {
    const char* unknown = "{00000000-1111-2222-3333-444444444444}";
    for (MsiContext c : allContexts) {
        SCOPED_TRACE(contextName(c));
        EXPECT_FALSE(msi.productInfoEx(unknown, c, "VersionString", 64).has_value());
    }
    EXPECT_FALSE(msi.productInfo(unknown, "VersionString", 512).has_value());
    EXPECT_NE(msi.configureProductAbsent(unknown), win32error::Success);
}

TEST_F(WindowsInstallerTest, FileVersionsAreDottedAndNeedTheirBuffer) {
    const std::string msiDll = *environment.systemFolder() + "\\msi.dll";
    auto version = msi.fileVersion(msiDll, 256);
    ASSERT_TRUE(version.has_value()) << msiDll;
    EXPECT_TRUE(std::regex_match(*version, std::regex(R"(\d+\.\d+\.\d+\.\d+)"))) << *version;

    // The same four numbers as the file's own version resource.
    auto fixed = win32::Win32VersionResources().fixedInfo(msiDll);
    ASSERT_TRUE(fixed.has_value());
    char expected[64];
    std::snprintf(expected, sizeof(expected), "%u.%u.%u.%u", unsigned(fixed->fileVersionMS >> 16),
                  unsigned(fixed->fileVersionMS & 0xFFFF), unsigned(fixed->fileVersionLS >> 16),
                  unsigned(fixed->fileVersionLS & 0xFFFF));
    EXPECT_EQ(*version, expected);

    EXPECT_EQ(msi.fileVersion(msiDll, version->size() + 1), version);
    EXPECT_FALSE(msi.fileVersion(msiDll, version->size()).has_value());
    EXPECT_FALSE(msi.fileVersion(*environment.systemFolder() + "\\no-such-file.dll", 256).has_value());

    platform_test::ScratchFolder scratch;
    ASSERT_TRUE(platform_test::writeRaw(scratch / "plain.txt", "no version here"));
    EXPECT_FALSE(msi.fileVersion(scratch / "plain.txt", 256).has_value());
}

}  // namespace
