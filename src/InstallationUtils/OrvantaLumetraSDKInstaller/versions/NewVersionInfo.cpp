#include "versions/NewVersionInfo.h"

#include "app/AppTexts.h"
#include "app/DataFolders.h"
#include "app/FileUtils.h"
#include "components/InstallManagerBase.h"
#include "platform/TextFormat.h"
#include "versions/NewVersionTexts.h"

namespace texts = newversiontexts;

namespace {

constexpr std::size_t TempPathChars = 512;
constexpr std::size_t ValueBytes = 1024;  // at most 1023 characters per value

}  // namespace

NewVersionInfo::NewVersionInfo(platform::Machine& machine, std::string serverBase)
    : machine_(machine), serverBase_(std::move(serverBase)) {
    std::string base = machine_.environment.tempFolder(TempPathChars).value_or("");
    if (base.empty()) {
        base = texts::FallbackTempFolder;
        if (!fileExists(machine_, base.substr(0, base.size() - 1)) &&
            !machine_.files.createFolder(base.substr(0, base.size() - 1)))
            return;
    }
    if (base.back() != '\\') base += '\\';
    const platform::LocalDateTime now = machine_.clock.localNow();
    // The clock's local time has whole seconds; the tick count gives the thousandths that tell two runs of
    // the same second apart.
    const std::string folder = text::format(texts::TempFolderFormat, base.c_str(), now.year, now.month, now.day,
                                            now.hour, now.minute, now.second,
                                            static_cast<int>(machine_.clock.tickCount() % 1000));
    if (fileExists(machine_, folder)) deleteFolderTree(machine_, folder, folder);
    if (machine_.files.createFolder(folder)) tempFolder_ = folder;
}

NewVersionInfo::~NewVersionInfo() {
    if (!tempFolder_.empty() && fileExists(machine_, tempFolder_)) deleteFolderTree(machine_, tempFolder_, tempFolder_);
}

int NewVersionInfo::fail(int result) {
    checkState_ = NoNewerVersion;
    return result;
}

std::string NewVersionInfo::read(const std::string& key) {
    return machine_.profile.value(tempFolder_ + "\\" + texts::UpgradeInfoFile, texts::Section, key, "", ValueBytes);
}

int NewVersionInfo::checkForNewVersion(download::AbortSignal* abort) {
    if (tempFolder_.empty()) return fail(UpgradeInfoUnavailable);
    const std::string infoUrl = serverBase_ + texts::UpgradeInfoServerPath + texts::UpgradeInfoFile;
    if (download::DownloadFile(machine_, tempFolder_, texts::UpgradeInfoFile, abort, infoUrl) < 1)
        return fail(UpgradeInfoUnavailable);
    if (!fileExists(machine_, tempFolder_ + "\\" + texts::UpgradeInfoFile)) return fail(NoDifferentVersion);

    const std::string latest = read(texts::LatestVersionName);
    if (latest.empty() || latest == apptexts::InstallerTitle) return fail(NoDifferentVersion);
    const std::string number = read(texts::LatestVersionNumber);

    const std::string notesName = read(texts::ReleaseNotesFileName);
    const std::string notesPrefix = read(texts::ReleaseNotesFilePath);
    if (notesName.empty() || notesPrefix.empty()) return fail(ReleaseNotesUnavailable);
    // The name comes from the network and becomes a path in the temporary folder: a bare file name only.
    if (notesName.find_first_of("\\/:") != std::string::npos || notesName == "." || notesName == "..")
        return fail(ReleaseNotesUnavailable);
    if (download::DownloadFile(machine_, tempFolder_, notesName, abort, notesPrefix + notesName) < 1)
        return fail(ReleaseNotesUnavailable);

    latestVersionName_ = latest;
    latestVersionNumber_ = number;
    currentVersionName_ = apptexts::InstallerTitle;
    releaseNotesPath_ = tempFolder_ + "\\" + notesName;
    checkState_ = NewerVersionAvailable;
    return Found;
}

int NewVersionInfo::showNewVersionDialog(const components::OperationContext& context, bool folderWritable,
                                         NewVersionView& view) {
    if (checkState_ != NewerVersionAvailable) {
        context.ui.messageBox(texts::UnableToDownload, apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None,
                              false);
        return -1;
    }
    // Release notes removed since the check: the dialog would close at once, so it is not opened at all.
    if (!fileExists(machine_, releaseNotesPath_)) return 1;
    if (view.newVersionAvailable(releaseNotesPath_, currentVersionName_, latestVersionName_) ==
        components::DialogEnd::Ok)
        downloadNewInstaller(context, folderWritable, view);
    return 1;
}

bool NewVersionInfo::downloadNewInstaller(const components::OperationContext& context, bool folderWritable,
                                          NewVersionView& view) {
    if (tempFolder_.empty() || !fileExists(machine_, tempFolder_ + "\\" + texts::UpgradeInfoFile)) return false;
    const std::string fileName = read(texts::InstallerFileName);
    const std::string prefix = read(texts::InstallerFilePath);
    if (fileName.empty() || prefix.empty()) return false;
    // The name comes from the network and becomes a path: a bare file name only.
    if (fileName.find_first_of("\\/:") != std::string::npos || fileName == "." || fileName == "..") return false;
    const std::string number = read(texts::LatestVersionNumber);

    std::string folder;
    if (folderWritable) {
        folder = context.appFolder + "\\" + datafolders::CopiesFolder;
    } else {
        std::optional<std::string> chosen = view.browseForFolder(texts::SelectDownloadDirectory);
        if (!chosen || chosen->empty()) return false;
        folder = *chosen;
        // A drive's root comes back as "D:\"; the message and the download path add their own separator.
        while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    }

    std::string name, status, action;
    dvInstallManagerBase list;
    list.setComponents({dvComponentInfo(texts::NewInstallerDisplayName, prefix + fileName, fileName, "", folder, false,
                                        false, &name, &status, &action, texts::NewInstallerCategory)});
    list.setContext(context);
    unsigned char ignoreAll = 0;
    if (list.downloadAllComponents(false, &ignoreAll) < 1) return false;

    view.reactivateCurrentPage();
    const std::string message =
        folderWritable
            ? text::format(texts::DownloadedToCopies, number.c_str(), folder.c_str(), fileName.c_str(), number.c_str())
            : text::format(texts::DownloadedToFolder, number.c_str(), folder.c_str(), fileName.c_str());
    context.ui.messageBox(message, apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None, false);
    return true;
}
