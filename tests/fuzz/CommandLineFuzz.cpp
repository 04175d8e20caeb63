// Any argument list (the bytes split at zero bytes) as the unattended command line: the parser must neither
// crash nor hand the run a request that breaks the promises the run relies on, and a request written out again
// as a command line must come back as the same request.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

bool isSwitch(const std::string& arg) { return arg.size() >= 2 && (arg[0] == '/' || arg[0] == '-'); }

bool sameRequest(const cli::Request& a, const cli::Request& b) {
    return a.action == b.action && a.names == b.names && a.display == b.display && a.json == b.json &&
           a.outFile == b.outFile && a.logFile == b.logFile;
}

// The request as a command line: the command and its names, then the options.
std::vector<std::string> written(const cli::Request& request) {
    std::vector<std::string> args;
    switch (request.action) {
        case cli::Action::Status: args.push_back("/status"); break;
        case cli::Action::Install: args.push_back("/install"); break;
        case cli::Action::Uninstall: args.push_back("/uninstall"); break;
        case cli::Action::Repair: args.push_back("/repair"); break;
        case cli::Action::Usage: args.push_back("/?"); break;
    }
    args.insert(args.end(), request.names.begin(), request.names.end());
    if (request.json) args.push_back("/json");
    if (request.outFile) {
        args.push_back("/out");
        args.push_back(*request.outFile);
    }
    if (request.logFile) {
        args.push_back("/log");
        args.push_back(*request.logFile);
    }
    if (request.display == cli::Display::Quiet) args.push_back("/quiet");
    return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size && args.size() <= 64; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    if (size == 0) args.clear();

    const cli::ParseResult result = cli::parseCommandLine(args);
    // A request or a reason, never both and never neither.
    require(result.request.has_value() == result.error.empty());
    if (!result.request) return 0;
    const cli::Request& request = *result.request;

    if (request.action == cli::Action::Usage) return 0;
    for (const std::string& name : request.names) require(!name.empty() && !isSwitch(name));
    for (const auto& file : {request.outFile, request.logFile})
        if (file) require(!file->empty() && !isSwitch(*file));
    switch (request.action) {
        case cli::Action::Status:
            require(request.names.empty() && request.display == cli::Display::Passive);
            break;
        case cli::Action::Install:
        case cli::Action::Uninstall:
            require(!request.names.empty() && !request.json);
            break;
        default:
            require(!request.json);
            break;
    }

    const cli::ParseResult again = cli::parseCommandLine(written(request));
    require(again.request.has_value() && sameRequest(*again.request, request));
    return 0;
}
