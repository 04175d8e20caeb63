#include "controls/OpenLink.h"

#include "app/AppTexts.h"
#include "app/DataFolders.h"
#include "app/FileUtils.h"
#include "controls/ControlTexts.h"
#include "platform/TextCompare.h"
#include "platform/TextFormat.h"

namespace {

constexpr intptr_t FirstShellSuccess = 33;  // ShellExecute's results up to 32 are failures

int failWith(int code, int* errorCode) {
    if (errorCode) *errorCode = code;
    return -1;
}

int shellOpen(const components::OperationContext& ctx, const std::string& target, int* errorCode) {
    intptr_t result = ctx.machine.processes.shellOpen("open", target, "", "", platform::ShowCommand::Normal);
    if (result >= FirstShellSuccess) return 1;
    return failWith(static_cast<int>(result), errorCode);
}

void showMessage(const components::OperationContext& ctx, const char* text) {
    ctx.ui.messageBox(text, apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None, true);
}

}  // namespace

bool linkNamesDocument(const std::string& url) {
    if (url.size() < 4) return false;
    std::string_view tail = std::string_view(url).substr(url.size() - 4);
    return text::equalsIgnoringCase(tail, ".pdf") || text::equalsIgnoringCase(tail, ".png");
}

int openLink(const std::string& url, const std::string& displayName, const components::OperationContext& ctx,
             int* errorCode) {
    if (!linkNamesDocument(url)) return shellOpen(ctx, url, errorCode);

    std::size_t separator = url.find_last_of("\\/");
    if (separator == std::string::npos) {
        showMessage(ctx, controltexts::UnableToParseDownloadPath);
        return failWith(linkerror::UnparsableDownloadPath, errorCode);
    }
    std::string fileName = url.substr(separator + 1);
    std::string folder = ctx.dataFolder() + "\\" + datafolders::Resources;

    // Download-only and not forced: a document fetched by an earlier click is opened without the network.
    dvComponentInfo document(displayName, url, fileName, "", folder, false, false, nullptr, nullptr, nullptr, "");
    components::DownloadRunFlags flags;
    flags.downloadOnly = true;
    flags.forceDownload = false;
    flags.reportErrors = true;
    if (ctx.dialogs.downloadAndInstall(document, 1, 1, flags) != components::DialogEnd::Ok)
        return failWith(linkerror::DownloadFailed, errorCode);

    std::string localPath = folder + "\\" + fileName;
    if (!fileExists(ctx.machine, localPath)) {
        showMessage(ctx, controltexts::UnableToLocateResource);
        return failWith(linkerror::DocumentMissing, errorCode);
    }
    return shellOpen(ctx, localPath, errorCode);
}

std::string hyperlinkFailureText(int code) {
    for (const auto& entry : controltexts::ShellFailureTexts)
        if (entry.code == code) return std::string(controltexts::UnableToOpenHyperlink) + entry.text;
    return controltexts::UnableToOpenHyperlink + text::format(controltexts::UnknownError, code);
}
