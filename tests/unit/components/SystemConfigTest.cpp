#include "components/SystemConfig.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <string>

#include "app/AppTexts.h"
#include "platform/fake/FakeMachine.h"
#include "support/RecordingUi.h"

using components::EnvironmentKey;
using platform::Hive;
using platform::RegistryValue;
using platform::fake::FakeMachine;

namespace {

void setPath(FakeMachine& m, const std::string& path, uint32_t type = platform::RegExpandSz) {
    m.registry.createKey(Hive::LocalMachine, EnvironmentKey);
    m.registry.writeString(Hive::LocalMachine, EnvironmentKey, "Path", path, type);
}

std::optional<RegistryValue> pathValue(FakeMachine& m) {
    return m.registry.readValue(Hive::LocalMachine, EnvironmentKey, "Path", std::size_t(1) << 20);
}

// ---- addToSystemPath ----------------------------------------------------------------------------------------

struct PathCase {
    const char* what;
    const char* before;
    const char* entry;
    const char* after;  // the stored PATH afterwards; equal to before when nothing may be written
};

class AddToSystemPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(AddToSystemPath, AddsAWholeEntryOnlyWhenMissing) {
    const PathCase& c = GetParam();
    FakeMachine m;
    setPath(m, c.before);

    EXPECT_TRUE(components::addToSystemPath(m, c.entry));

    auto stored = pathValue(m);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->text(), c.after);
    EXPECT_EQ(stored->type, platform::RegExpandSz);
    // Windows only re-read the environment when told: told exactly when it changed.
    const bool changed = std::string(c.before) != c.after;
    EXPECT_EQ(m.processes.settingBroadcasts, changed ? std::vector<std::string>{"Environment"}
                                                     : std::vector<std::string>{});
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, AddToSystemPath, ::testing::Values(
    PathCase{"absent",                  "C:\\Windows;C:\\Tools",                  "D:\\Rt\\OpenCv23", "C:\\Windows;C:\\Tools;D:\\Rt\\OpenCv23"},
    PathCase{"other letter case",       "C:\\Windows;d:\\rt\\OPENCV23;C:\\Tools", "D:\\Rt\\OpenCv23", "C:\\Windows;d:\\rt\\OPENCV23;C:\\Tools"},
    PathCase{"trailing backslash",      "C:\\Windows;D:\\Rt\\OpenCv23\\",         "D:\\Rt\\OpenCv23", "C:\\Windows;D:\\Rt\\OpenCv23\\"},
    PathCase{"trailing slash, blanks",  "C:\\Windows; D:\\Rt\\OpenCv23/ ;C:\\X",  "D:\\Rt\\OpenCv23", "C:\\Windows; D:\\Rt\\OpenCv23/ ;C:\\X"},
    PathCase{"entry given with slash",  "C:\\Windows;D:\\Rt\\IPP924",             "D:\\Rt\\IPP924\\", "C:\\Windows;D:\\Rt\\IPP924"},
    PathCase{"longer entry begins so",  "C:\\Windows;D:\\Rt\\OpenCV246",          "D:\\Rt\\OpenCV24", "C:\\Windows;D:\\Rt\\OpenCV246;D:\\Rt\\OpenCV24"},
    PathCase{"only inside a longer one","C:\\Windows;E:\\D:\\Rt\\IPP924x",        "D:\\Rt\\IPP924",   "C:\\Windows;E:\\D:\\Rt\\IPP924x;D:\\Rt\\IPP924"},
    PathCase{"ends with a separator",   "C:\\Windows;",                           "D:\\Rt\\IPP924",   "C:\\Windows;D:\\Rt\\IPP924"},
    PathCase{"empty",                   "",                                       "D:\\Rt\\IPP924",   "D:\\Rt\\IPP924"}),
    [](const auto& info) {
        std::string name;
        for (char ch : std::string(info.param.what)) name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return name;
    });
// clang-format on

TEST(AddToSystemPathValue, ALongPathIsKeptWholeAndTheEntryAppended) {
    FakeMachine m;
    std::string longPath;
    for (int i = 0; longPath.size() < 6000; ++i) longPath += "C:\\Tools\\Folder" + std::to_string(i) + ";";
    longPath.pop_back();
    setPath(m, longPath);

    EXPECT_TRUE(components::addToSystemPath(m, "D:\\Rt\\OpenCV248"));

    EXPECT_EQ(pathValue(m)->text(), longPath + ";D:\\Rt\\OpenCV248");
}

TEST(AddToSystemPathValue, AnEntryPastTheFirstFourThousandCharactersIsFound) {
    FakeMachine m;
    const std::string longPath = std::string(5000, 'x') + ";D:\\Rt\\OpenCV248";
    setPath(m, longPath);

    EXPECT_TRUE(components::addToSystemPath(m, "D:\\Rt\\OpenCV248"));

    EXPECT_EQ(pathValue(m)->text(), longPath);
    EXPECT_TRUE(m.processes.settingBroadcasts.empty());
}

TEST(AddToSystemPathValue, KeepsThePlainStringType) {
    FakeMachine m;
    setPath(m, "C:\\Windows", platform::RegSz);

    EXPECT_TRUE(components::addToSystemPath(m, "D:\\Rt\\IPP924"));

    auto stored = pathValue(m);
    EXPECT_EQ(stored->type, platform::RegSz);
    EXPECT_EQ(stored->text(), "C:\\Windows;D:\\Rt\\IPP924");
}

TEST(AddToSystemPathValue, AMissingValueIsCreatedExpandable) {
    FakeMachine m;
    m.registry.createKey(Hive::LocalMachine, EnvironmentKey);

    EXPECT_TRUE(components::addToSystemPath(m, "D:\\Rt\\IPP924"));

    auto stored = pathValue(m);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, platform::RegExpandSz);
    EXPECT_EQ(stored->text(), "D:\\Rt\\IPP924");
    EXPECT_EQ(stored->data.back(), 0);
}

TEST(AddToSystemPathValue, FailsWithoutTouchingAnythingItCannotRead) {
    FakeMachine m;  // no environment key at all
    EXPECT_FALSE(components::addToSystemPath(m, "D:\\Rt\\IPP924"));
    EXPECT_FALSE(m.registry.keyExists(Hive::LocalMachine, EnvironmentKey));
    EXPECT_TRUE(m.processes.settingBroadcasts.empty());

    FakeMachine binary;
    binary.registry.createKey(Hive::LocalMachine, EnvironmentKey);
    RegistryValue odd;
    odd.type = platform::RegBinary;
    odd.data = {'C', ':', 0, 1, 2};
    binary.registry.writeValue(Hive::LocalMachine, EnvironmentKey, "Path", odd);
    EXPECT_FALSE(components::addToSystemPath(binary, "D:\\Rt\\IPP924"));
    EXPECT_EQ(pathValue(binary)->data, odd.data);
}

// ---- setPythonPaths ---------------------------------------------------------------------------------------

constexpr const char* PythonRoot = "Software\\Python\\PythonCore\\2.6\\InstallPath";

std::string defaultValue(FakeMachine& m, const std::string& key) {
    auto value = m.registry.readValue(Hive::LocalMachine, key, "", 4096);
    if (!value) return "<missing>";
    EXPECT_EQ(value->type, platform::RegSz) << key;
    return value->text();
}

void expectPythonPaths(FakeMachine& m, const std::string& p) {
    EXPECT_EQ(defaultValue(m, "SOFTWARE\\Python\\PythonCore\\2.6\\PythonPath"),
              p + "Lib;" + p + "DLLs;" + p + "Lib\\lib-tk");
    EXPECT_EQ(defaultValue(m, "SOFTWARE\\Python\\PythonCore\\2.6\\PythonPath\\Pythonwin"),
              p + "lib\\site-packages\\Pythonwin");
    EXPECT_EQ(defaultValue(m, "SOFTWARE\\Python\\PythonCore\\2.6\\PythonPath\\win32"),
              p + "lib\\site-packages\\win32;" + p + "lib\\site-packages\\win32\\lib");
    EXPECT_EQ(defaultValue(m, "SOFTWARE\\Python\\PythonCore\\2.6\\PythonPath\\win32com"),
              p + "lib\\site-packages");
}

TEST(SetPythonPaths, WritesTheFourSearchPathsFromTheInstallationFolder) {
    struct Case {
        const char* what;
        Hive hive;
        const char* installPath;
        const char* folder;
    };
    for (const Case& c : {Case{"machine", Hive::LocalMachine, "C:\\Python26\\", "C:\\Python26\\"},
                          Case{"user", Hive::CurrentUser, "D:\\Py 26\\", "D:\\Py 26\\"},
                          Case{"no separator", Hive::LocalMachine, "C:\\Python26", "C:\\Python26\\"}}) {
        SCOPED_TRACE(c.what);
        FakeMachine m;
        RecordingUi ui;
        m.registry.setString(c.hive, PythonRoot, "", c.installPath);

        EXPECT_TRUE(components::setPythonPaths(m, ui));

        expectPythonPaths(m, c.folder);
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST(SetPythonPaths, WithoutPythonWarnsAndWritesNothing) {
    FakeMachine m;
    RecordingUi ui;
    m.registry.setString(Hive::LocalMachine, PythonRoot, "", "");  // present but empty is no folder either

    EXPECT_FALSE(components::setPythonPaths(m, ui));

    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Warning: Unable to retrieve the Python 2.6.5 installation path.\n"
              "Continuing with the remaining installations.");
    EXPECT_EQ(ui.messages[0].caption, apptexts::InstallerTitle);
    EXPECT_FALSE(m.registry.keyExists(Hive::LocalMachine, "SOFTWARE\\Python\\PythonCore\\2.6\\PythonPath"));
}

// ---- createShortcut ---------------------------------------------------------------------------------------

TEST(CreateShortcut, SavesTheTavrelLinkInTheFolder) {
    FakeMachine m;
    m.files.addFolder("C:\\Desk");

    EXPECT_TRUE(components::createShortcut(m, "C:\\Desk", "C:\\T\\gui\\Tavrel.gui.exe", "C:\\T\\gui"));

    auto link = m.links.load("C:\\Desk\\Tavrel 1.0.0.1(3587).lnk");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->target, "C:\\T\\gui\\Tavrel.gui.exe");
    EXPECT_EQ(link->arguments, "");
    EXPECT_EQ(link->workingFolder, "C:\\T\\gui");

    EXPECT_FALSE(components::createShortcut(m, "C:\\Missing", "C:\\T\\gui\\Tavrel.gui.exe", "C:\\T\\gui"));
}

}  // namespace
