// The small services against the real system: shell links, version resources, INI files, local time
// conversion, the tick count and debugger output.
#include "PlatformTestSupport.h"

#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32Machine.h"
#include "platform/win32/Win32Misc.h"

#include <cstring>

using namespace platform;

namespace {

TEST(ShellLinksTest, ALinkIsSavedAndReadBack) {
    platform_test::ScratchFolder scratch;
    win32::Win32ShellLinks links;
    const ShellLink link{platform_test::helperProgram("echo_args"), "/config \"C:\\With Blanks\\a.ini\"",
                         scratch.path()};
    const std::string linkPath = scratch / "Tavrel 1.0.0.1(3587).lnk";
    ASSERT_TRUE(links.save(linkPath, link));
    EXPECT_TRUE(platform_test::pathPresent(linkPath));

    auto loaded = links.load(linkPath);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(platform_test::lower(loaded->target), platform_test::lower(link.target));
    EXPECT_EQ(loaded->arguments, link.arguments);
    EXPECT_EQ(platform_test::lower(loaded->workingFolder), platform_test::lower(link.workingFolder));

    // Nothing to load, or not a link at all.
    ASSERT_TRUE(platform_test::writeRaw(scratch / "plain.lnk", "not a shell link"));
    EXPECT_FALSE(links.load(scratch / "missing.lnk").has_value());
    EXPECT_FALSE(links.load(scratch / "plain.lnk").has_value());
    // A link cannot be saved into a folder that does not exist.
    EXPECT_FALSE(links.save(scratch / "missing\\x.lnk", link));
}

TEST(VersionResourcesTest, TheHelpersResourceIsReadWhole) {
    win32::Win32VersionResources versions;
    const std::string program = platform_test::helperProgram("versioned");
    auto fixed = versions.fixedInfo(program);
    ASSERT_TRUE(fixed.has_value());
    EXPECT_EQ(fixed->fileVersionMS, 0x00010002u);
    EXPECT_EQ(fixed->fileVersionLS, 0x00030004u);
    EXPECT_EQ(fixed->productVersionMS, 0x00050006u);
    EXPECT_EQ(fixed->productVersionLS, 0x00070008u);
    EXPECT_EQ(fixed->fileFlags & fixed->fileFlagsMask, 0x8u);  // VS_FF_PRIVATEBUILD

    EXPECT_EQ(versions.translations(program), (std::vector<uint32_t>{0x040904B0u}));
    struct Case {
        const char* subBlock;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"\\StringFileInfo\\040904b0\\PrivateBuild", "Private build for the version reader"},
        {"\\StringFileInfo\\040904b0\\FileVersion", "1.2.3.4"},
        {"\\StringFileInfo\\040904b0\\SpecialBuild", std::nullopt},
        {"\\StringFileInfo\\04070000\\PrivateBuild", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.subBlock);
        EXPECT_EQ(versions.stringValue(program, c.subBlock), c.value);
    }
}

TEST(VersionResourcesTest, FilesWithoutAResourceHaveNone) {
    win32::Win32VersionResources versions;
    platform_test::ScratchFolder scratch;
    ASSERT_TRUE(platform_test::writeRaw(scratch / "plain.txt", "no resource"));
    for (const std::string& path : {scratch / "plain.txt", scratch / "missing.exe"}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(versions.fixedInfo(path).has_value());
        EXPECT_TRUE(versions.translations(path).empty());
        EXPECT_FALSE(versions.stringValue(path, "\\StringFileInfo\\040904b0\\PrivateBuild").has_value());
    }
    // A system library carries one.
    auto kernel = versions.fixedInfo(*win32::Win32Environment().systemFolder() + "\\kernel32.dll");
    ASSERT_TRUE(kernel.has_value());
    EXPECT_NE(kernel->fileVersionMS, 0u);
}

TEST(ProfileTest, SectionNamesAndValuesOfAnIniFile) {
    platform_test::ScratchFolder scratch;
    const std::string ini = scratch / "tutorials.ini";
    ASSERT_TRUE(platform_test::writeRaw(ini,
                                        "[Getting Started]\r\n"
                                        "Name =  First steps with blanks  \r\n"
                                        "Url=/tutorials/first.zip\r\n"
                                        "\r\n"
                                        "[Calibration]\r\n"
                                        "Name=Calibrating a camera\r\n"
                                        "[Empty]\r\n"));
    win32::Win32Profile profile;
    EXPECT_EQ(profile.sectionNames(ini, 8192), std::string("Getting Started\0Calibration\0Empty\0", 34));

    struct Case {
        const char* section;
        const char* key;
        std::size_t bufferBytes;
        std::string value;
    };
    const Case cases[] = {
        {"Getting Started", "Name", 1024, "First steps with blanks"},
        {"getting started", "URL", 1024, "/tutorials/first.zip"},
        {"Calibration", "Name", 1024, "Calibrating a camera"},
        {"Calibration", "Name", 12, "Calibrating"},  // cut to the buffer, terminator included
        {"Calibration", "Url", 1024, "(default)"},
        {"Missing", "Name", 1024, "(default)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(profile.value(ini, c.section, c.key, "(default)", c.bufferBytes), c.value);
    }
    EXPECT_EQ(profile.sectionNames(scratch / "missing.ini", 8192), "");
    EXPECT_EQ(profile.value(scratch / "missing.ini", "Getting Started", "Name", "", 1024), "");
}

TEST(ClockTest, LocalTimesConvertToFileTimesAndBack) {
    win32::Win32Clock clock;
    struct Case {
        LocalDateTime local;
        bool valid;
    };
    const Case cases[] = {
        {{2014, 4, 11, 13, 45, 30}, true},  {{1980, 1, 1, 0, 0, 0}, true},   {{2012, 2, 29, 23, 59, 58}, true},
        {{2000, 2, 29, 6, 0, 0}, true},     {{2013, 2, 29, 12, 0, 0}, false}, {{1900, 2, 29, 0, 0, 0}, false},
        {{2014, 13, 1, 0, 0, 0}, false},    {{2014, 0, 1, 0, 0, 0}, false},   {{2014, 4, 31, 0, 0, 0}, false},
        {{2014, 4, 0, 0, 0, 0}, false},     {{2014, 4, 11, 24, 0, 0}, false}, {{2014, 4, 11, 0, 60, 0}, false},
        {{2014, 4, 11, 0, 0, 60}, false},   {{1600, 12, 31, 0, 0, 0}, false},
    };
    for (const Case& c : cases) {
        const LocalDateTime& t = c.local;
        SCOPED_TRACE(std::to_string(t.year) + "-" + std::to_string(t.month) + "-" + std::to_string(t.day) + " " +
                     std::to_string(t.hour) + ":" + std::to_string(t.minute) + ":" + std::to_string(t.second));
        auto converted = clock.localToFileTime(t);
        ASSERT_EQ(converted.has_value(), c.valid);
        if (!converted) continue;
        // Back through the opposite conversion: the same local time.
        FILETIME utc = {DWORD(*converted & 0xFFFFFFFF), DWORD(*converted >> 32)};
        SYSTEMTIME universal, back;
        ASSERT_TRUE(FileTimeToSystemTime(&utc, &universal));
        ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &universal, &back));
        EXPECT_EQ(back.wYear, t.year);
        EXPECT_EQ(back.wMonth, t.month);
        EXPECT_EQ(back.wDay, t.day);
        EXPECT_EQ(back.wHour, t.hour);
        EXPECT_EQ(back.wMinute, t.minute);
        EXPECT_EQ(back.wSecond, t.second);
    }
}

TEST(ClockTest, TheTickCountFollowsSleeping) {
    win32::Win32Clock clock;
    uint32_t before = clock.tickCount();
    clock.sleep(200);
    uint32_t elapsed = clock.tickCount() - before;
    EXPECT_GE(elapsed, 180u);
    EXPECT_LT(elapsed, 5000u);
}

TEST(DebugOutputTest, ALineReachesADebugMonitor) {
    // A debug monitor's side of OutputDebugString: a shared buffer with the writer's process id and the text,
    // handed over by two events. A debugger, when there is one, takes the line instead.
    if (IsDebuggerPresent()) GTEST_SKIP() << "a debugger receives the output";
    HANDLE bufferReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
    HANDLE dataReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, "DBWIN_BUFFER");
    ASSERT_TRUE(bufferReady && dataReady && mapping);
    const bool alone = GetLastError() != ERROR_ALREADY_EXISTS;
    auto* shared = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 4096));
    ASSERT_NE(shared, nullptr);

    if (alone) {
        SetEvent(bufferReady);
        const std::string line =
            "ovDInstallExtensions::processNewOpenCV2XExtInstallation - Unable to get new selection\n";
        win32::Win32DebugOutput().write(line);
        ASSERT_EQ(WaitForSingleObject(dataReady, 5000), WAIT_OBJECT_0);
        DWORD writer = 0;
        std::memcpy(&writer, shared, sizeof(writer));
        EXPECT_EQ(writer, GetCurrentProcessId());
        EXPECT_EQ(std::string(shared + sizeof(DWORD)), line);
    }
    UnmapViewOfFile(shared);
    CloseHandle(mapping);
    CloseHandle(dataReady);
    CloseHandle(bufferReady);
    if (!alone) GTEST_SKIP() << "another debug monitor owns the debug buffer";
}

TEST(RealMachineTest, OneMachineOfWin32Parts) {
    Machine& machine = win32::realMachine();
    EXPECT_EQ(&machine, &win32::realMachine());
    EXPECT_NE(dynamic_cast<win32::Win32Environment*>(&machine.environment), nullptr);
    EXPECT_NE(dynamic_cast<win32::Win32Clock*>(&machine.clock), nullptr);
    EXPECT_NE(dynamic_cast<win32::Win32ShellLinks*>(&machine.links), nullptr);
    // Its parts are wired to the real system.
    auto path = machine.environment.executablePath();
    ASSERT_TRUE(path.has_value());
    EXPECT_TRUE(machine.files.exists(*path));
    EXPECT_TRUE(machine.registry.keyExists(Hive::LocalMachine, "Software"));
}

}  // namespace
