// Times the download-and-install dialog under Wine, so that tools/bench/dialog-bench.sh can compare it with
// the bare fetch (download_bench) and measure how quickly an abort takes effect.
//
//   dialog_bench dialog URL FOLDER FILE   the real dialog downloading FILE (download only, forced), its worker
//                                         reporting every progress mark by synchronous message
//   dialog_bench abort URL FOLDER FILE    the same on a slow body: once the download runs, a second thread
//                                         presses Abort and answers Yes, as a user would
//
// "dialog" prints "<seconds> <bytes>"; "abort" prints "<ms from Yes to the dialog window gone> <ms from Yes to
// the dialog call returning>". Exit 0 on success, 1 otherwise.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "app/AppTexts.h"
#include "components/ComponentInfo.h"
#include "download/Fetch.h"
#include "download/win32/Win32OperationDialogs.h"
#include "platform/win32/Win32Machine.h"

namespace {

double now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

uint64_t fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

template <typename Predicate>
bool waitFor(Predicate done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(2);
    }
    return true;
}

void clear(const download::DownloadPaths& paths) {
    for (const std::string& path : {paths.final, paths.temporary, paths.backup}) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

dvComponentInfo record(const std::string& url, const std::string& folder, const std::string& file) {
    return dvComponentInfo("Benchmark download", url, file, "", folder, false, false, nullptr, nullptr, nullptr, "");
}

int dialog(const std::string& url, const std::string& folder, const std::string& file) {
    download::win32::Win32OperationDialogs dialogs(platform::win32::realMachine());
    download::DownloadPaths paths = download::downloadPaths(folder, file);
    clear(paths);
    double start = now();
    components::DialogEnd end = dialogs.downloadAndInstall(record(url, folder, file), 1, 1, {true, true, true});
    double seconds = now() - start;
    if (end != components::DialogEnd::Ok) {
        std::printf("the dialog ended with %d\n", static_cast<int>(end));
        return 1;
    }
    std::printf("%.3f %llu\n", seconds, static_cast<unsigned long long>(fileSize(paths.final)));
    return 0;
}

int abortRun(const std::string& url, const std::string& folder, const std::string& file) {
    download::win32::Win32OperationDialogs dialogs(platform::win32::realMachine());
    download::DownloadPaths paths = download::downloadPaths(folder, file);
    clear(paths);
    const std::string caption = std::string(apptexts::InstallerTitle) + " - Download Component Installables";
    std::atomic<double> answered{0}, gone{0};
    std::thread user([&] {
        HWND window = nullptr;
        if (!waitFor([&] { return (window = FindWindowA("#32770", caption.c_str())) != nullptr; }, 20000)) return;
        // Abort once the download has really begun.
        if (!waitFor([&] { return fileSize(paths.temporary) > 50000; }, 20000)) return;
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        HWND box = nullptr;
        if (!waitFor([&] { return (box = FindWindowA("#32770", "Confirmation")) != nullptr; }, 20000)) return;
        answered = now();
        PostMessageA(box, WM_COMMAND, IDYES, 0);
        waitFor([&] { return !IsWindow(window); }, 20000);
        gone = now();
    });
    components::DialogEnd end = dialogs.downloadAndInstall(record(url, folder, file), 1, 1, {true, true, true});
    double returned = now();
    user.join();
    if (end != components::DialogEnd::Cancel || answered == 0 || gone == 0) {
        std::printf("the abort did not happen as a user does it (end %d)\n", static_cast<int>(end));
        return 1;
    }
    std::printf("%.1f %.1f\n", (gone - answered) * 1000, (returned - answered) * 1000);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "dialog" && argc == 5) return dialog(argv[2], argv[3], argv[4]);
    if (mode == "abort" && argc == 5) return abortRun(argv[2], argv[3], argv[4]);
    std::fprintf(stderr, "usage: dialog_bench dialog|abort URL FOLDER FILE\n");
    return 2;
}
