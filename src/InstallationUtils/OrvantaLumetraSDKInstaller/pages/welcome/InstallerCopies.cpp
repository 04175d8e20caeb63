#include "pages/welcome/InstallerCopies.h"

#include "pages/welcome/WelcomeTexts.h"
#include "platform/TextCompare.h"
#include "platform/TextFormat.h"

namespace welcome {

namespace {

// VS_FF_PRIVATEBUILD of the fixed file information's flags.
constexpr uint32_t PrivateBuildFlag = 0x08;

bool endsWithIgnoringCase(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text::equalsIgnoringCase(text.substr(text.size() - end.size()), end);
}

}  // namespace

std::string backslashed(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isInstallerName(const std::string& name) {
    const std::string prefix = welcometexts::InstallerNamePrefix;
    return name.compare(0, prefix.size(), prefix) == 0 && name.find(welcometexts::InstallerNameMarker) != std::string::npos &&
           endsWithIgnoringCase(name, welcometexts::ProgramExtension);
}

std::optional<VersionLabel> readVersionLabel(platform::VersionResources& versions, const std::string& path) {
    const std::optional<platform::FixedVersionInfo> fixed = versions.fixedInfo(path);
    if (!fixed) return std::nullopt;
    VersionLabel label;
    label.version = text::format(welcometexts::VersionFormat, static_cast<int>(fixed->fileVersionMS >> 16),
                                 static_cast<int>(fixed->fileVersionMS & 0xFFFF),
                                 static_cast<int>(fixed->fileVersionLS >> 16),
                                 static_cast<int>(fixed->fileVersionLS & 0xFFFF));
    if ((fixed->fileFlags & fixed->fileFlagsMask & PrivateBuildFlag) == 0) return label;
    const std::vector<uint32_t> translations = versions.translations(path);
    if (translations.empty()) return std::nullopt;
    const unsigned language = translations.front() >> 16;
    const unsigned codePage = translations.front() & 0xFFFF;
    std::optional<std::string> build =
        versions.stringValue(path, text::format(welcometexts::PrivateBuildBlock, language, codePage));
    if (!build) return std::nullopt;
    label.privateBuild = *build;
    return label;
}

std::string runningEntry(const std::optional<VersionLabel>& label) {
    if (!label) return welcometexts::CurrentlyUsedVersion;
    return text::format(welcometexts::EntryWithBuild, label->version.c_str(), label->privateBuild.c_str());
}

std::string copyEntry(const VersionLabel& label) {
    if (label.privateBuild.empty()) return label.version;
    return text::format(welcometexts::EntryWithBuild, label.version.c_str(), label.privateBuild.c_str());
}

std::vector<InstallerCopy> findInstallerCopies(platform::Machine& machine, const std::string& folder) {
    std::vector<InstallerCopy> copies;
    const auto entries = machine.files.find(folder + "\\" + welcometexts::ProgramPattern);
    if (!entries) return copies;
    for (const platform::FindEntry& entry : *entries) {
        if (entry.isFolder() || !isInstallerName(entry.name)) continue;
        const std::string path = folder + "\\" + entry.name;
        if (auto label = readVersionLabel(machine.versions, path)) copies.push_back({path, *label});
    }
    return copies;
}

int tidyUpInstallerCopies(platform::Machine& machine, components::OperationDialogs& dialogs,
                          const std::string& runningPath, const std::string& copiesFolder, uint32_t pauseMs) {
    const std::string running = backslashed(runningPath);
    int moved = 0;
    bool paused = false;
    for (const InstallerCopy& copy : findInstallerCopies(machine, folderOf(running))) {
        // The running installer is never moved away from under itself.
        if (text::equalsIgnoringCase(copy.path, running)) continue;
        if (!machine.files.exists(copiesFolder)) machine.files.createFolder(copiesFolder);
        if (!paused) {
            paused = true;
            std::unique_ptr<components::PleaseWaitBox> box = dialogs.pleaseWait();
            machine.clock.sleep(pauseMs);
        }
        // Without replacing: a copy of that name in the copies folder keeps this one where it is.
        if (machine.files.moveFile(copy.path, copiesFolder + "\\" + fileNameOf(copy.path),
                                   platform::moveflag::WriteThrough))
            ++moved;
    }
    return moved;
}

}  // namespace welcome
