#include "versions/win32/NewVersionAvailable.h"

#include <richedit.h>
#include <shlobj.h>

#include "platform/win32/OwnerWindow.h"
#include "versions/win32/NewVersionAvailableRes.h"
#include "wizard/WizardIds.h"

namespace versions::win32 {

namespace {

// The rich edit box's window class lives in riched20.dll. The program loads it at start-up; the dialog makes
// sure of it as well, from the system folder only.
void loadRichEdit() {
    static const HMODULE module = [] {
        if (HMODULE m = LoadLibraryExA("riched20.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return m;
        char path[MAX_PATH + 16];
        const UINT length = GetSystemDirectoryA(path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return static_cast<HMODULE>(nullptr);
        lstrcatA(path, "\\riched20.dll");
        return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }();
    (void)module;
}

DWORD CALLBACK readFileChunk(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
    DWORD read = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(wanted), &read, nullptr)) {
        *got = 0;
        return 1;
    }
    *got = static_cast<LONG>(read);
    return 0;
}

}  // namespace

DNewVersionAvailable::DNewVersionAvailable(std::string releaseNotesFile, std::string currentVersionText,
                                           std::string latestVersionText)
    : ModalDialog("DNewVersionAvailable"),
      releaseNotesFile_(std::move(releaseNotesFile)),
      currentVersionText_(std::move(currentVersionText)),
      latestVersionText_(std::move(latestVersionText)) {}

components::DialogEnd DNewVersionAvailable::doModal(HWND owner) {
    loadRichEdit();
    return runModal(IDD_NEW_VERSION_AVAILABLE, owner);
}

bool DNewVersionAvailable::streamReleaseNotes(HWND richEdit) {
    HANDLE file = CreateFileA(releaseNotesFile_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(file);
    stream.pfnCallback = readFileChunk;
    SendMessageA(richEdit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    CloseHandle(file);
    return stream.dwError == 0;
}

void DNewVersionAvailable::onInitDialog(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_NEWVER_CURRENT, currentVersionText_.c_str());
    SetDlgItemTextA(dialog, IDC_NEWVER_NEW, latestVersionText_.c_str());
    HWND notes = GetDlgItem(dialog, IDC_NEWVER_NOTES);
    if (!notes || !streamReleaseNotes(notes)) EndDialog(dialog, IDCANCEL);
}

INT_PTR DNewVersionAvailable::handle(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND) return FALSE;
    if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

components::DialogEnd Win32NewVersionView::newVersionAvailable(const std::string& releaseNotesFile,
                                                               const std::string& currentVersion,
                                                               const std::string& latestVersion) {
    DNewVersionAvailable dialog(releaseNotesFile, currentVersion, latestVersion);
    return dialog.doModal(platform::win32::mainWindow());
}

std::optional<std::string> Win32NewVersionView::browseForFolder(const std::string& title) {
    BROWSEINFOA info = {};
    info.hwndOwner = platform::win32::mainWindow();
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_NEWDIALOGSTYLE;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (!chosen) return std::nullopt;
    char path[MAX_PATH] = {};
    const BOOL isFolder = SHGetPathFromIDListA(chosen, path);
    CoTaskMemFree(chosen);
    if (!isFolder || path[0] == '\0') return std::nullopt;
    return std::string(path);
}

void Win32NewVersionView::reactivateCurrentPage() {
    if (HWND sheet = platform::win32::mainWindow()) SendMessageA(sheet, WM_USER + wizardids::ReactivateOffset, 0, 0);
}

}  // namespace versions::win32
