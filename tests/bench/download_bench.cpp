// Times one download under Wine, either through the installer's fetch or through a bare WinINet loop, so
// that tools/bench/download-bench.sh can compare them.
//
//   download_bench fetch URL FOLDER FILE [MAX_CHUNKS_PER_READ]  the worker-thread fetch (forced, no dialog)
//   download_bench resume URL FOLDER FILE    the fetch that continues what an earlier attempt left behind
//   download_bench bare URL PATH [READ_BYTES]                InternetReadFile of 64 KiB into WriteFile
//
// Whatever an earlier run left at the target paths is deleted before the clock starts.
// Prints "<seconds> <bytes>" on success and exits 0; prints the failure and exits 1 otherwise.
#include <atomic>
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/UserInterface.h"
#include "download/Fetch.h"
#include "download/Url.h"
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

class NoEvents : public download::FetchEvents {
public:
    void downloadStarted(int32_t) override {}
    void downloadProgress(int32_t) override {}
    void downloadCompleted() override {}
    void downloadFailed() override {}
};

class PrintingUi : public ui::UserInterface {
public:
    ui::Answer messageBox(const std::string& text, const std::string&, ui::Buttons, ui::Icon, bool) override {
        std::printf("message: %s\n", text.c_str());
        return ui::Answer::Ok;
    }
    void applicationMessage(const std::string& text) override { std::printf("message: %s\n", text.c_str()); }
};

int fetch(const std::string& url, const std::string& folder, const std::string& file, std::size_t chunks) {
    download::maxChunksPerNetworkRead = chunks;
    download::FetchContext context;
    context.downloadUrl = url;
    context.paths = download::downloadPaths(folder, file);
    context.forceDownload = true;
    context.downloadOnly = true;
    std::atomic<uint8_t> abortFlag{0};
    context.abortFlag = &abortFlag;
    NoEvents events;
    PrintingUi ui;
    // Both forms start from an empty folder: freeing an earlier 200 MB file is not part of a download.
    for (const std::string& path : {context.paths.final, context.paths.temporary, context.paths.backup}) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
    double start = now();
    download::FetchResult result = download::FetchComponentFile(platform::win32::realMachine(), context, events, ui);
    double seconds = now() - start;
    if (result.outcome != download::FetchOutcome::Completed) {
        std::printf("fetch failed (%d)\n", static_cast<int>(result.outcome));
        return 1;
    }
    std::printf("%.3f %llu\n", seconds, static_cast<unsigned long long>(fileSize(context.paths.final)));
    return 0;
}

int bare(const std::string& url, const std::string& path, std::size_t readBytes) {
    auto parsed = download::parseUrl(url);
    if (!parsed) return 1;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
    double start = now();
    HINTERNET session = InternetOpenA("Internet Session", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET connection = InternetConnectA(session, parsed->server.c_str(), parsed->port, nullptr, nullptr,
                                            INTERNET_SERVICE_HTTP, 0, 1);
    HINTERNET request = HttpOpenRequestA(connection, "GET", parsed->object.c_str(), nullptr, nullptr, nullptr,
                                         INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_AUTO_REDIRECT |
                                             INTERNET_FLAG_RELOAD,
                                         1);
    if (!request || !HttpSendRequestA(request, nullptr, 0, nullptr, 0)) {
        std::printf("request failed: %lu\n", GetLastError());
        return 1;
    }
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::vector<char> buffer(readBytes);
    uint64_t total = 0;
    DWORD got = 0;
    bool failed = false;
    for (;;) {
        if (!InternetReadFile(request, buffer.data(), DWORD(buffer.size()), &got)) {
            failed = true;
            break;
        }
        if (got == 0) break;
        DWORD written = 0;
        WriteFile(out, buffer.data(), got, &written, nullptr);
        total += got;
    }
    CloseHandle(out);
    InternetCloseHandle(request);
    InternetCloseHandle(connection);
    InternetCloseHandle(session);
    double seconds = now() - start;
    if (failed) {
        std::printf("read failed after %llu bytes: %lu\n", static_cast<unsigned long long>(total), GetLastError());
        return 1;
    }
    std::printf("%.3f %llu\n", seconds, static_cast<unsigned long long>(total));
    return 0;
}

}  // namespace

// --- resume: the fetch without clearing what an earlier attempt left (tools/bench/resume-bench.sh) ---------
// Prints "<seconds> <final file size>" when the file is in place, "broken <seconds>" when the transfer broke off.
int resume(const std::string& url, const std::string& folder, const std::string& file) {
    download::FetchContext context;
    context.downloadUrl = url;
    context.paths = download::downloadPaths(folder, file);
    context.downloadOnly = true;
    context.reportErrors = false;
    std::atomic<uint8_t> abortFlag{0};
    context.abortFlag = &abortFlag;
    NoEvents events;
    PrintingUi ui;
    double start = now();
    download::FetchResult result = download::FetchComponentFile(platform::win32::realMachine(), context, events, ui);
    double seconds = now() - start;
    if (result.outcome != download::FetchOutcome::Completed) {
        std::printf("broken %.3f\n", seconds);
        return 2;
    }
    std::printf("%.3f %llu\n", seconds, static_cast<unsigned long long>(fileSize(context.paths.final)));
    return 0;
}
// --- end of resume ---------------------------------------------------------------------------------------

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "resume" && argc == 5) return resume(argv[2], argv[3], argv[4]);
    if (mode == "fetch" && (argc == 5 || argc == 6))
        return fetch(argv[2], argv[3], argv[4], argc == 6 ? std::strtoul(argv[5], nullptr, 10) : download::DefaultMaxChunksPerRead);
    if (mode == "bare" && (argc == 4 || argc == 5))
        return bare(argv[2], argv[3], argc == 5 ? std::strtoul(argv[4], nullptr, 10) : 64 * 1024);
    std::fprintf(stderr, "usage: download_bench fetch URL FOLDER FILE [CHUNKS] | bare URL PATH [READ_BYTES]\n");
    return 2;
}
