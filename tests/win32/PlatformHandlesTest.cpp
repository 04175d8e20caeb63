// Every platform operation gives back the handles it opens (keys, files, processes, searches): repeated
// calls must not make this process hold more handles. The installer probes the machine on every page
// refresh, so a leak per call would grow without bound.
#include "PlatformTestSupport.h"

#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Misc.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32WindowsInstaller.h"

#include <functional>
#include <vector>

using namespace platform;

namespace {

// The handles this process holds. Windows counts them for the process; where that count is not kept (Wine
// answers 0) the system-wide handle table is counted for this process instead.
DWORD handleCount() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;

    struct Entry {  // SYSTEM_HANDLE_TABLE_ENTRY_INFO
        USHORT process;
        USHORT backTraceIndex;
        UCHAR type;
        UCHAR flags;
        USHORT value;
        PVOID object;
        ACCESS_MASK access;
    };
    struct Table {
        ULONG count;
        Entry entries[1];
    };
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    const ULONG systemHandleInformation = 16;
    const LONG infoLengthMismatch = LONG(0xC0000004);
    std::vector<char> buffer(1 << 16);
    LONG status;
    while ((status = query(systemHandleInformation, buffer.data(), ULONG(buffer.size()), nullptr)) ==
           infoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    const auto* table = reinterpret_cast<const Table*>(buffer.data());
    const USHORT self = USHORT(GetCurrentProcessId());
    for (ULONG i = 0; i < table->count; ++i)
        if (table->entries[i].process == self) ++count;
    return count;
}

TEST(HandlesTest, RepeatedOperationsLeaveNoHandlesOpen) {
    platform_test::ScratchFolder scratch;
    ASSERT_TRUE(platform_test::writeRaw(scratch / "file.txt", "content"));
    ASSERT_TRUE(platform_test::writeRaw(scratch / "list.ini", "[A]\r\nkey=value\r\n"));
    const std::string key = "Software\\" + platform_test::uniqueName("PlatformHandlesTest");
    const std::string echo = platform_test::helperProgram("echo_args");

    win32::Win32Registry registry;
    win32::Win32FileSystem files;
    win32::Win32Processes processes;
    win32::Win32WindowsInstaller msi;
    win32::Win32Environment environment;
    win32::Win32VersionResources versions;
    win32::Win32Profile profile;
    win32::Win32ShellLinks links;
    const std::string msiDll = *environment.systemFolder() + "\\msi.dll";

    // The counter itself must see a handle that is kept open, or this test would prove nothing.
    const DWORD before = handleCount();
    auto held = files.open(scratch / "file.txt", Access::Read, Disposition::OpenExisting);
    ASSERT_NE(held, nullptr);
    ASSERT_EQ(handleCount(), before + 1);
    held.reset();
    ASSERT_EQ(handleCount(), before);

    struct Case {
        const char* what;
        std::function<void()> operation;
    };
    const Case cases[] = {
        {"registry create, write, read, delete",
         [&] {
             registry.createKey(Hive::CurrentUser, key + "\\Sub");
             registry.writeString(Hive::CurrentUser, key, "Name", "value");
             registry.readValue(Hive::CurrentUser, key, "Name", 4096);
             registry.readValue(Hive::CurrentUser, key, "Name", 2);  // does not fit
             registry.readValue(Hive::CurrentUser, key, "Missing", 4096);
             registry.keyExists(Hive::CurrentUser, key);
             registry.deleteValue(Hive::CurrentUser, key, "Name");
             registry.deleteKeyTree(Hive::CurrentUser, key);
         }},
        {"file searches and attributes",
         [&] {
             files.exists(scratch / "file.txt");
             files.exists(scratch / "missing.txt");
             files.find(scratch / "*.*");
             files.find(scratch / "missing\\*.*");
             files.attributes(scratch / "file.txt");
             files.setTimes(scratch / "file.txt", std::nullopt, 130400000000000000ull);
             files.setTimes(scratch / "missing.txt", std::nullopt, 130400000000000000ull);
         }},
        {"open files, closed or dropped",
         [&] {
             files.open(scratch / "file.txt", Access::Read, Disposition::OpenExisting);
             auto f = files.open(scratch / "copy.txt", Access::Write, Disposition::CreateAlways);
             if (f) f->close();
             files.open(scratch / "missing\\x.txt", Access::Write, Disposition::CreateAlways);
             files.copyFile(scratch / "file.txt", scratch / "copy.txt", false);
             files.moveFile(scratch / "copy.txt", scratch / "moved.txt", moveflag::ReplaceExisting);
             files.deleteFile(scratch / "moved.txt");
         }},
        {"processes started and waited for",
         [&] {
             auto p = processes.start(echo, "\"" + echo + "\"");
             if (p) p->wait(30000);
             processes.start(scratch / "missing.exe", "missing.exe");
         }},
        {"process list", [&] { processes.list(1024); }},
        {"Windows Installer queries",
         [&] {
             msi.productInfoEx("{00000000-1111-2222-3333-444444444444}", MsiContext::Machine, "VersionString", 64);
             msi.fileVersion(msiDll, 256);
             std::string code;
             msi.enumProducts(0, code);
         }},
        {"version resources and INI files",
         [&] {
             versions.fixedInfo(msiDll);
             versions.translations(msiDll);
             profile.sectionNames(scratch / "list.ini", 8192);
             profile.value(scratch / "list.ini", "A", "key", "", 1024);
         }},
        {"shell links",
         [&] {
             links.save(scratch / "link.lnk", ShellLink{echo, "/x", scratch.path()});
             links.load(scratch / "link.lnk");
             links.load(scratch / "missing.lnk");
         }},
        {"environment", [&] { environment.screenDpi(); environment.nativeArchitecture(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.operation();  // the first call may load libraries and open what they keep for the process
        const DWORD start = handleCount();
        for (int i = 0; i < 10; ++i) c.operation();
        EXPECT_EQ(handleCount(), start);
    }
}

}  // namespace
