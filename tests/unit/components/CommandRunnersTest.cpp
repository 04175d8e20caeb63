// The uninstall command runners: how each takes a registered command apart and starts it, the helper that
// answers the Python package uninstallers' windows, the window watch, and the Windows Installer removals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/CommandRunners.h"
#include "platform/fake/FakeMachine.h"

using namespace components;
using platform::Hive;
using platform::MsiContext;
using platform::fake::FakeMachine;
using platform::fake::FakeProduct;

namespace {

const std::string UninstallRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

void setCommand(FakeMachine& m, const std::string& key, const std::string& value, const std::string& command,
                Hive hive = Hive::LocalMachine) {
    m.registry.setString(hive, UninstallRoot + key, value, command);
}

// Every program the runners may start exists and ends at once.
void everyProgramRuns(FakeMachine& m) {
    for (const char* program : {"C:\\PT\\unins000.exe", "C:\\Program Files\\IC Capture\\unins000.exe",
                                "C:\\Python26\\Removepywin32.exe", "C:\\TV\\uninstall.exe",
                                "C:\\Program Files\\Speccy\\uninst.exe", "C:\\OPC\\uninst.exe", "msiexec.exe"})
        m.processes.onStart(program, [](FakeMachine&, const std::string&) { return 0u; });
    m.processes.onShellOpen("RunDll32", [](FakeMachine&, const std::string&) { return 0u; });
}

struct StartCase {
    const char* what;
    const char* command;    // as registered
    const char* program;    // nullptr: nothing may start and the runner fails
    const char* commandLine;
};

// ---- R1: quoted command ----------------------------------------------------------------------------------

// clang-format off
const StartCase QuotedCases[] = {
    {"switches after the quoted program", "\"C:\\PT\\unins000.exe\" /SILENT", "C:\\PT\\unins000.exe", "/SILENT"},
    {"a program path with blanks", "\"C:\\Program Files\\IC Capture\\unins000.exe\" /VERYSILENT /NORESTART",
     "C:\\Program Files\\IC Capture\\unins000.exe", "/VERYSILENT /NORESTART"},
    {"no switches at all", "\"C:\\PT\\unins000.exe\"", "C:\\PT\\unins000.exe", ""},
    {"no closing quote", "\"C:\\PT\\unins000.exe /SILENT", nullptr, nullptr},
    {"not quoted", "C:\\PT\\unins000.exe /SILENT", nullptr, nullptr},
    {"a quote only at the start", "\"", nullptr, nullptr},
};
// clang-format on

TEST(QuotedCommand, StartsTheProgramWithTheSwitchesAsItsWholeCommandLine) {
    for (const StartCase& c : QuotedCases) {
        SCOPED_TRACE(c.what);
        FakeMachine m;
        everyProgramRuns(m);
        setCommand(m, "PerformanceTest 8_is1", "QuietUninstallString", c.command);
        EXPECT_EQ(runQuotedCommand(m, "PerformanceTest 8_is1", "QuietUninstallString"), c.program != nullptr);
        if (!c.program) {
            EXPECT_TRUE(m.processes.started.empty());
            continue;
        }
        ASSERT_EQ(m.processes.started.size(), 1u);
        EXPECT_EQ(m.processes.started[0].program, c.program);
        EXPECT_EQ(m.processes.started[0].commandLine, c.commandLine);
    }
}

TEST(QuotedCommand, ReadsTheNamedValueUnderHklmThenHkcu) {
    FakeMachine m;
    everyProgramRuns(m);
    setCommand(m, "ICCapture22_is1", "UninstallString", "\"C:\\Wrong\\unins000.exe\" /X");
    EXPECT_FALSE(runQuotedCommand(m, "ICCapture22_is1", "QuietUninstallString"));
    EXPECT_TRUE(m.processes.started.empty());

    setCommand(m, "ICCapture22_is1", "QuietUninstallString", "\"C:\\PT\\unins000.exe\" /USER", Hive::CurrentUser);
    EXPECT_TRUE(runQuotedCommand(m, "ICCapture22_is1", "QuietUninstallString"));
    setCommand(m, "ICCapture22_is1", "QuietUninstallString", "\"C:\\PT\\unins000.exe\" /MACHINE");
    EXPECT_TRUE(runQuotedCommand(m, "ICCapture22_is1", "QuietUninstallString"));
    ASSERT_EQ(m.processes.started.size(), 2u);
    EXPECT_EQ(m.processes.started[0].commandLine, "/USER");
    EXPECT_EQ(m.processes.started[1].commandLine, "/MACHINE");
}

TEST(QuotedCommand, FailsWhenTheProgramCannotStartAndIgnoresItsExitCode) {
    FakeMachine m;
    setCommand(m, "PerformanceTest 8_is1", "QuietUninstallString", "\"C:\\Gone\\unins000.exe\" /SILENT");
    EXPECT_FALSE(runQuotedCommand(m, "PerformanceTest 8_is1", "QuietUninstallString"));

    m.processes.onStart("C:\\Gone\\unins000.exe", [](FakeMachine&, const std::string&) { return 1603u; });
    EXPECT_TRUE(runQuotedCommand(m, "PerformanceTest 8_is1", "QuietUninstallString"));
}

// ---- R2: command with auto-confirm ------------------------------------------------------------------------

// clang-format off
const StartCase AutoConfirmCases[] = {
    {"the Python package form", "\"C:\\Python26\\Removepywin32.exe\" -u \"C:\\Python26\\pywin32-wininst.log\"",
     "C:\\Python26\\Removepywin32.exe", "C:\\Python26\\Removepywin32.exe -u \"C:\\Python26\\pywin32-wininst.log\""},
    {"no blank", "\"C:\\Python26\\Removepywin32.exe\"", nullptr, nullptr},
    {"a blank too early to hold a program", "\" -u log", nullptr, nullptr},
};
// clang-format on

TEST(AutoConfirmCommand, StartsProgramAndParametersAfterTheHelper) {
    for (const StartCase& c : AutoConfirmCases) {
        SCOPED_TRACE(c.what);
        FakeMachine m;
        everyProgramRuns(m);
        setCommand(m, "pywin32-py2.6", "UninstallString", c.command);
        EXPECT_EQ(runWithAutoConfirm(m, "pywin32-py2.6"), c.program != nullptr);
        if (!c.program) {
            EXPECT_TRUE(m.processes.started.empty());
            EXPECT_TRUE(m.processes.detachedTasks.empty());
            continue;
        }
        ASSERT_EQ(m.processes.started.size(), 1u);
        EXPECT_EQ(m.processes.started[0].program, c.program);
        EXPECT_EQ(m.processes.started[0].commandLine, c.commandLine);
        EXPECT_EQ(m.processes.detachedTasks.size(), 1u);
    }
}

TEST(AutoConfirmCommand, HelperAnswersTheUninstallersWindowsWhileItRuns) {
    FakeMachine m;
    setCommand(m, "numpy-py2.6", "UninstallString", "\"C:\\Python26\\Removenumpy.exe\" -u \"C:\\Python26\\numpy-wininst.log\"");
    bool confirmed = false;
    m.processes.onStart("C:\\Python26\\Removenumpy.exe", [&](FakeMachine& fm, const std::string&) {
        fm.processes.addWindow("Please confirm", [&](uint32_t command) { confirmed = command == 6; });
        fm.processes.addWindow("Uninstall Finished!");
        // The helper runs now, while the uninstaller shows its windows.
        fm.processes.runDetachedTasks();
        return 0u;
    });
    EXPECT_TRUE(runWithAutoConfirm(m, "numpy-py2.6"));
    EXPECT_TRUE(confirmed);
    ASSERT_EQ(m.processes.commandsSent.size(), 1u);
    EXPECT_EQ(m.processes.commandsSent[0].first, "Please confirm");
    EXPECT_EQ(m.processes.closeRequests, std::vector<std::string>{"Uninstall Finished!"});
}

TEST(AutoConfirmCommand, HelperGivesUpAfterItsPollingLimits) {
    FakeMachine m;
    // Nothing ever appears: 1000 looks for the question, then 2000 for the final window, 10 ms apart.
    autoConfirmUninstaller(m);
    EXPECT_EQ(m.clock.sleeps.size(), 3000u);
    EXPECT_EQ(m.clock.ticks - 1000, 30000u);
    EXPECT_TRUE(m.processes.commandsSent.empty());

    // A question that comes late is still answered, and the final window is then looked for.
    FakeMachine late;
    late.clock.onSleep = [&](uint32_t) {
        if (late.clock.sleeps.size() == 500) late.processes.addWindow("Please confirm");
    };
    autoConfirmUninstaller(late);
    EXPECT_EQ(late.processes.commandsSent.size(), 1u);
    EXPECT_EQ(late.clock.sleeps.size(), 500u + 2000u);
}

// ---- R3: command and window watch -------------------------------------------------------------------------

TEST(WatchedCommand, StartsTheUnquotedCommandAsProgramAndCommandLine) {
    // clang-format off
    const StartCase cases[] = {
        {"quoted", "\"C:\\Program Files\\Speccy\\uninst.exe\"", "C:\\Program Files\\Speccy\\uninst.exe", "C:\\Program Files\\Speccy\\uninst.exe"},
        {"plain", "C:\\TV\\uninstall.exe", "C:\\TV\\uninstall.exe", "C:\\TV\\uninstall.exe"},
        {"only quotes", "\"\"", nullptr, nullptr},
    };
    // clang-format on
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.what);
        FakeMachine m;
        everyProgramRuns(m);
        setCommand(m, "Speccy", "UninstallString", c.command);
        EXPECT_EQ(runAndWatch(m, "Speccy", std::nullopt), c.program != nullptr);
        if (!c.program) {
            EXPECT_TRUE(m.processes.started.empty());
            continue;
        }
        ASSERT_EQ(m.processes.started.size(), 1u);
        EXPECT_EQ(m.processes.started[0].program, c.program);
        EXPECT_EQ(m.processes.started[0].commandLine, c.commandLine);
        EXPECT_TRUE(m.clock.sleeps.empty()) << "no title, no watch";
    }
    FakeMachine none;
    EXPECT_FALSE(runAndWatch(none, "Speccy", std::nullopt));
}

TEST(WatchedCommand, WaitsForTheWindowToAppearAndThenToGo) {
    FakeMachine m;
    everyProgramRuns(m);
    setCommand(m, "TeamViewer 8 Host", "UninstallString", "C:\\TV\\uninstall.exe");
    m.clock.onSleep = [&](uint32_t) {
        if (m.clock.sleeps.size() == 3) m.processes.addWindow("TeamViewer 8 Host Uninstall");
        if (m.clock.sleeps.size() == 5) m.processes.removeWindow("TeamViewer 8 Host Uninstall");
    };
    EXPECT_TRUE(runAndWatch(m, "TeamViewer 8 Host", std::string("TeamViewer 8 Host Uninstall")));
    EXPECT_EQ(m.clock.sleeps, (std::vector<uint32_t>{25, 25, 25, 1000, 1000}));
}

TEST(WatchedCommand, GivesUpOnAWindowThatNeverComesOrNeverGoes) {
    FakeMachine never;
    everyProgramRuns(never);
    setCommand(never, "Speccy", "UninstallString", "C:\\TV\\uninstall.exe");
    EXPECT_TRUE(runAndWatch(never, "Speccy", std::string("Speccy v1.25 Uninstall")));
    EXPECT_EQ(never.clock.sleeps, std::vector<uint32_t>(2400, 25));

    FakeMachine stays;
    everyProgramRuns(stays);
    setCommand(stays, "Speccy", "UninstallString", "C:\\TV\\uninstall.exe");
    stays.processes.addWindow("Speccy v1.25 Uninstall");
    EXPECT_TRUE(runAndWatch(stays, "Speccy", std::string("Speccy v1.25 Uninstall")));
    EXPECT_EQ(stays.clock.sleeps, std::vector<uint32_t>(600, 1000));
}

// ---- R4: split command; R5: shell command -----------------------------------------------------------------

TEST(SplitCommand, SplitsAtTheFirstBlank) {
    // clang-format off
    const StartCase cases[] = {
        {"program and switches", "C:\\OPC\\uninst.exe -remove -silent", "C:\\OPC\\uninst.exe", "C:\\OPC\\uninst.exe -remove -silent"},
        {"no blank", "C:\\OPC\\uninst.exe", nullptr, nullptr},
    };
    // clang-format on
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.what);
        FakeMachine m;
        everyProgramRuns(m);
        setCommand(m, "OPC CLIENT", "UninstallString", c.command);
        EXPECT_EQ(runSplitCommand(m, "OPC CLIENT"), c.program != nullptr);
        if (!c.program) {
            EXPECT_TRUE(m.processes.started.empty());
            continue;
        }
        ASSERT_EQ(m.processes.started.size(), 1u);
        EXPECT_EQ(m.processes.started[0].program, c.program);
        EXPECT_EQ(m.processes.started[0].commandLine, c.commandLine);
    }
}

TEST(ShellCommand, StartsRunDll32ThroughTheShellWithWhatFollowsTheFirstBlank) {
    const std::string key = "{C2E6E999-4516-40D2-8191-79B5CB4B987B}";
    FakeMachine m;
    everyProgramRuns(m);
    setCommand(m, key, "UninstallString",
               "RunDll32 C:\\PROGRA~1\\COMMON~1\\INSTAL~1\\engine\\6\\INTEL3~1\\Ctor.dll,LaunchSetup -removeonly");
    EXPECT_TRUE(runShellCommand(m, key));
    ASSERT_EQ(m.processes.shellCalls.size(), 1u);
    EXPECT_EQ(m.processes.shellCalls[0].verb, "open");
    EXPECT_EQ(m.processes.shellCalls[0].file, "RunDll32");
    EXPECT_EQ(m.processes.shellCalls[0].parameters, "C:\\PROGRA~1\\COMMON~1\\INSTAL~1\\engine\\6\\INTEL3~1\\Ctor.dll,LaunchSetup -removeonly");
    EXPECT_TRUE(m.processes.started.empty());

    // A blank at the very start does not count as the separator.
    FakeMachine leading;
    everyProgramRuns(leading);
    setCommand(leading, key, "UninstallString", " RunDll32 ctor.dll,LaunchSetup");
    EXPECT_TRUE(runShellCommand(leading, key));
    ASSERT_EQ(leading.processes.shellCalls.size(), 1u);
    EXPECT_EQ(leading.processes.shellCalls[0].parameters, "ctor.dll,LaunchSetup");

    FakeMachine noBlank;
    everyProgramRuns(noBlank);
    setCommand(noBlank, key, "UninstallString", "RunDll32");
    EXPECT_FALSE(runShellCommand(noBlank, key));
    EXPECT_TRUE(noBlank.processes.shellCalls.empty());

    // The shell refuses: nothing to wait for.
    FakeMachine refused;
    setCommand(refused, key, "UninstallString", "RunDll32 ctor.dll,LaunchSetup");
    EXPECT_FALSE(runShellCommand(refused, key));
}

// ---- R6, R7: Windows Installer ----------------------------------------------------------------------------

TEST(WindowsInstallerRemoval, SucceedsOnlyForARegisteredProduct) {
    FakeMachine m;
    const std::string code = "{FC84F31D-53C5-49CC-A799-80BFF4724731}";
    EXPECT_FALSE(removeWithWindowsInstaller(m, code));
    m.msi.registerProduct(code, MsiContext::Machine, FakeProduct{"Orvanta Plexor 1.9.0.24", "1.9.24", {}});
    EXPECT_TRUE(removeWithWindowsInstaller(m, code));
    EXPECT_FALSE(m.msi.isRegistered(code));
}

TEST(WindowsInstallerRemoval, TheSuccessesThatConcernARestartAreSuccesses) {
    const std::string code = "{FC84F31D-53C5-49CC-A799-80BFF4724731}";
    const struct {
        uint32_t result;
        bool succeeds;
    } cases[] = {
        {platform::win32error::Success, true},
        {platform::win32error::SuccessRestartRequired, true},   // 3010: removed, takes full effect after a restart
        {platform::win32error::SuccessRestartInitiated, true},  // 1641: removed, the restart has begun
        {platform::win32error::InstallFailure, false},
        {1602, false},  // cancelled in Windows Installer's own dialog
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        FakeMachine m;
        m.msi.registerProduct(code, MsiContext::Machine, FakeProduct{"Orvanta Plexor 1.9.0.24", "1.9.24", {}});
        m.msi.removalResult(code, c.result);
        EXPECT_EQ(removeWithWindowsInstaller(m, code), c.succeeds);
        EXPECT_EQ(m.msi.isRegistered(code), !c.succeeds);
    }
}

TEST(MsiexecRemoval, StartsTheSystemMsiexecWithForwardSlashesInTheFolder) {
    const std::string code = "{6151CF20-0BD8-4023-A4A0-6A86DCFE58E5}";
    const struct {
        const char* systemFolder;
        const char* program;
    } cases[] = {
        {"C:\\windows\\system32", "C:/windows/system32\\msiexec.exe"},
        {"C:\\WINDOWS\\system32\\", "C:/WINDOWS/system32\\msiexec.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.systemFolder);
        FakeMachine m;
        everyProgramRuns(m);
        m.environment.system = c.systemFolder;
        EXPECT_TRUE(removeWithMsiexec(m, code));
        ASSERT_EQ(m.processes.started.size(), 1u);
        EXPECT_EQ(m.processes.started[0].program, c.program);
        EXPECT_EQ(m.processes.started[0].commandLine, std::string(c.program) + " /x " + code + " /passive");
    }
    FakeMachine unknown;
    unknown.environment.system.reset();
    EXPECT_FALSE(removeWithMsiexec(unknown, code));
    EXPECT_TRUE(unknown.processes.started.empty());
}

// ---- TightVNC -----------------------------------------------------------------------------------------------

TEST(TightVncRemoval, WatchesItsWindowByTheMachineWideNameAndLetsWindowsInstallerDecide) {
    const std::string code = "{981B8EDC-E693-4F22-9694-C0FF8E56F134}";
    const struct {
        const char* what;
        Hive nameHive;      // where DisplayName is registered
        bool hasName;
        bool msiRegistered;
        bool watched;       // the window "TightVNC Uninstall " was waited for
    } cases[] = {
        {"name under HKLM, package registered", Hive::LocalMachine, true, true, true},
        {"name under HKLM, no package", Hive::LocalMachine, true, false, true},
        {"name only under HKCU", Hive::CurrentUser, true, true, false},
        {"no name, no package", Hive::LocalMachine, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeMachine m;
        everyProgramRuns(m);
        setCommand(m, "TightVNC", "UninstallString", "\"C:\\TV\\uninstall.exe\"");
        if (c.hasName) setCommand(m, "TightVNC", "DisplayName", "TightVNC", c.nameHive);
        if (c.msiRegistered) m.msi.registerProduct(code, MsiContext::Machine, FakeProduct{"TightVNC", "2.6.4.0", {}});
        bool appeared = false;
        m.clock.onSleep = [&](uint32_t ms) {
            // The title the watch looks for, trailing blank included, shows after the first look.
            if (!appeared && ms == 25) {
                m.processes.addWindow("TightVNC Uninstall ");
                appeared = true;
            } else if (ms == 1000) {
                m.processes.removeWindow("TightVNC Uninstall ");
            }
        };
        EXPECT_TRUE(removeTightVnc(m, code, ProductBits::ThirtyTwo));
        ASSERT_EQ(m.processes.started.size(), 1u);
        EXPECT_EQ(m.processes.started[0].program, "C:\\TV\\uninstall.exe");
        EXPECT_EQ(m.clock.sleeps, c.watched ? (std::vector<uint32_t>{25, 1000}) : std::vector<uint32_t>());
        EXPECT_FALSE(m.msi.isRegistered(code));
    }
}

TEST(TightVncRemoval, APackageWithoutSetupProgramIsStillRemoved) {
    const std::string code = "{D71C967C-8709-4334-BF16-952469E96DCD}";
    FakeMachine m;
    m.msi.registerProduct(code, MsiContext::Machine, FakeProduct{"TightVNC", "2.6.4.0", {}});
    EXPECT_TRUE(removeTightVnc(m, code, ProductBits::ThirtyTwo));
    EXPECT_TRUE(m.processes.started.empty());
    EXPECT_FALSE(m.msi.isRegistered(code));
}

}  // namespace
