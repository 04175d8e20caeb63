// Prints the status of every catalogue row of every page, as the wizard's pages would show it on this
// machine.
//
//   installer-status [--json] [--timing] [--32 | --64]
//
// --timing adds, per page, the time one refresh of its rows took, and the time of one walk over every
// Windows Installer product (to standard error, so that the report itself stays the same). The 32-bit or 64-bit forms of the driver rows follow the machine unless chosen.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "components/Catalogue.h"
#include "components/Probes.h"
#include "components/StatusReport.h"
#include "platform/win32/Win32Machine.h"

using namespace components;

namespace {

std::string folderOf(const std::string& path) {
    auto cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : path.substr(0, cut);
}

int usage() {
    std::fprintf(stderr, "usage: installer-status [--json] [--timing] [--32 | --64]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool json = false, timing = false;
    int forcedBits = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--json")) json = true;
        else if (!std::strcmp(argv[i], "--timing")) timing = true;
        else if (!std::strcmp(argv[i], "--32")) forcedBits = 32;
        else if (!std::strcmp(argv[i], "--64")) forcedBits = 64;
        else return usage();
    }

    platform::Machine& machine = platform::win32::realMachine();
    const bool is64Bit = forcedBits ? forcedBits == 64 : machine.environment.nativeArchitecture() == platform::arch::Amd64;
    const std::string appFolder = folderOf(machine.environment.executablePath().value_or(""));

    std::vector<StatusReportRow> rows;
    double totalMs = 0, slowestMs = 0;
    for (CataloguePage page : AllCataloguePages) {
        auto start = std::chrono::steady_clock::now();
        auto pageRows = refreshPageRows(machine, page, is64Bit, appFolder);
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        totalMs += ms;
        if (ms > slowestMs) slowestMs = ms;
        if (timing)
            std::fprintf(stderr, "refresh %-20s %2zu rows %8.1f ms\n", cataloguePageName(page), pageRows.size(), ms);
        rows.insert(rows.end(), pageRows.begin(), pageRows.end());
    }
    if (timing) {
        std::fprintf(stderr, "refresh all pages %8.1f ms, slowest page %8.1f ms\n", totalMs, slowestMs);
        // The one probe that grows with the machine: the walk over every Windows Installer product.
        auto start = std::chrono::steady_clock::now();
        int pythons = pythonProductCount(machine);
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::fprintf(stderr, "walk over every product %8.1f ms (%d named Python 2.6)\n", ms, pythons);
    }

    const std::string report = json ? formatStatusJson(rows) : formatStatusText(rows);
    std::fwrite(report.data(), 1, report.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
