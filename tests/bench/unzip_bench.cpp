// Times one extraction through the installer's CUnzipper on the real machine, so that
// tools/bench/unzip-bench.sh can compare it with Info-ZIP's unzip.
//
//   unzip_bench ARCHIVE FOLDER
//
// Prints "<seconds> <files>" on success and exits 0; prints the failure and exits 1 otherwise. The folder
// should not exist beforehand (the script removes it), so that every run creates the same files anew.
#include <windows.h>

#include <cstdio>
#include <string>

#include "components/unzip/Unzipper.h"
#include "platform/win32/Win32Machine.h"

namespace {

double now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

unsigned countFiles(const std::string& folder) {
    unsigned files = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            files += countFiles(folder + "\\" + name);
        else
            ++files;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: unzip_bench ARCHIVE FOLDER\n");
        return 2;
    }
    platform::Machine& machine = platform::win32::realMachine();
    const double start = now();
    const bool done = extractArchive(machine, argv[1], argv[2]);
    const double seconds = now() - start;
    if (!done) {
        std::printf("extraction failed after %.3f s\n", seconds);
        return 1;
    }
    std::printf("%.3f %u\n", seconds, countFiles(argv[2]));
    return 0;
}
