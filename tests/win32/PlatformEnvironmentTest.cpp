// The environment layer: this program's path, variables and their buffer rule, the system's folders, the
// processor architecture, the Windows version and the screen.
#include "PlatformTestSupport.h"

#include "platform/win32/Win32Environment.h"

using namespace platform;

namespace {

bool isAbsoluteDrivePath(const std::string& path) {
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           path[2] == '\\';
}

bool isFolder(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

class EnvironmentTest : public ::testing::Test {
protected:
    void TearDown() override { SetEnvironmentVariableA(name.c_str(), nullptr); }

    win32::Win32Environment environment;
    const std::string name = "PLATFORM_TEST_" + platform_test::uniqueName("VAR");
};

TEST_F(EnvironmentTest, TheExecutablePathIsThisProgram) {
    auto path = environment.executablePath();
    ASSERT_TRUE(path.has_value());
    EXPECT_TRUE(isAbsoluteDrivePath(*path)) << *path;
    EXPECT_TRUE(platform_test::endsWithNoCase(*path, "\\win32_tests.exe")) << *path;
    EXPECT_TRUE(platform_test::pathPresent(*path));
}

TEST_F(EnvironmentTest, VariablesRoundTripAndMustFitTheBuffer) {
    const std::string value = "C:\\Program Files;C:\\With Blanks\\bin";
    EXPECT_FALSE(environment.variable(name, 1024).has_value());
    ASSERT_TRUE(environment.setVariable(name, value));
    struct Case {
        std::size_t bufferChars;
        bool fits;
    };
    for (Case c : {Case{1024, true}, Case{value.size() + 1, true}, Case{value.size(), false}, Case{1, false}}) {
        SCOPED_TRACE(c.bufferChars);
        auto read = environment.variable(name, c.bufferChars);
        ASSERT_EQ(read.has_value(), c.fits);
        if (read) {
            EXPECT_EQ(*read, value);
        }
    }
    // Names are not case-sensitive.
    EXPECT_EQ(environment.variable(platform_test::lower(name), 1024), value);
    ASSERT_TRUE(environment.setVariable(name, std::nullopt));
    EXPECT_FALSE(environment.variable(name, 1024).has_value());
}

TEST_F(EnvironmentTest, SystemAndTemporaryFoldersExist) {
    auto system = environment.systemFolder();
    ASSERT_TRUE(system.has_value());
    EXPECT_TRUE(isAbsoluteDrivePath(*system)) << *system;
    EXPECT_NE(system->back(), '\\');
    EXPECT_TRUE(platform_test::pathPresent(*system + "\\kernel32.dll")) << *system;

    auto temp = environment.tempFolder(261);
    ASSERT_TRUE(temp.has_value());
    EXPECT_TRUE(isAbsoluteDrivePath(*temp)) << *temp;
    EXPECT_EQ(temp->back(), '\\');
    EXPECT_TRUE(isFolder(temp->substr(0, temp->size() - 1))) << *temp;
    EXPECT_EQ(environment.tempFolder(temp->size() + 1), temp);
    EXPECT_FALSE(environment.tempFolder(temp->size()).has_value());
}

TEST_F(EnvironmentTest, KnownFoldersAreAbsoluteAndExist) {
    struct Case {
        const char* what;
        KnownFolder folder;
    };
    for (Case c : {Case{"common desktop", KnownFolder::CommonDesktop},
                   Case{"common programs", KnownFolder::CommonPrograms}, Case{"documents", KnownFolder::Documents}}) {
        SCOPED_TRACE(c.what);
        auto folder = environment.knownFolder(c.folder);
        ASSERT_TRUE(folder.has_value());
        EXPECT_TRUE(isAbsoluteDrivePath(*folder)) << *folder;
        EXPECT_TRUE(isFolder(*folder)) << *folder;
    }
    // The all-users folders are not the user's own.
    EXPECT_NE(environment.knownFolder(KnownFolder::CommonDesktop), environment.knownFolder(KnownFolder::Documents));
}

TEST_F(EnvironmentTest, TheNativeArchitectureIsTheMachinesNotThisProcesss) {
    // A 32-bit program on 64-bit Windows runs under WOW64; there the native architecture is not Intel.
    BOOL wow64 = FALSE;
    using IsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64 = reinterpret_cast<IsWow64>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    if (isWow64) isWow64(GetCurrentProcess(), &wow64);
    if (sizeof(void*) == 8) {
        // The 64-bit build of these tests (machines without 32-bit code) runs natively on x86-64.
        EXPECT_EQ(environment.nativeArchitecture(), arch::Amd64);
    } else if (wow64) {
        EXPECT_NE(environment.nativeArchitecture(), arch::Intel);
    } else {
        EXPECT_EQ(environment.nativeArchitecture(), arch::Intel);
    }
}

TEST_F(EnvironmentTest, TheWindowsVersionIsTheSystemsOwn) {
    auto version = environment.windowsVersion();
    ASSERT_TRUE(version.has_value());
    EXPECT_GE(version->major, 5u);
    // The registry keeps the build the system runs.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    char build[64] = {};
    DWORD size = sizeof(build) - 1;
    const LONG read = RegQueryValueExA(key, "CurrentBuildNumber", nullptr, nullptr, reinterpret_cast<BYTE*>(build), &size);
    RegCloseKey(key);
    ASSERT_EQ(read, ERROR_SUCCESS);
    EXPECT_EQ(std::to_string(version->build), std::string(build));
    // GetVersionEx answers this program (whose manifest names no version) with an older version at most.
    OSVERSIONINFOA told = {};
    told.dwOSVersionInfoSize = sizeof(told);
    ASSERT_TRUE(GetVersionExA(&told));
    EXPECT_GE(std::make_pair(version->major, version->minor),
              std::make_pair(static_cast<uint32_t>(told.dwMajorVersion), static_cast<uint32_t>(told.dwMinorVersion)));
}

TEST_F(EnvironmentTest, TheScreenResolutionIsPlausible) {
    int dpi = environment.screenDpi();
    EXPECT_GE(dpi, 72);
    EXPECT_LE(dpi, 480);
}

}  // namespace
