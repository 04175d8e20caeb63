#include "app/CommandLine.h"

#include "app/UnattendedTexts.h"
#include "platform/TextCompare.h"

namespace cli {

namespace {

namespace texts = unattendedtexts;

bool isSwitch(const std::string& arg) { return arg.size() >= 2 && (arg[0] == '/' || arg[0] == '-'); }

bool isHelpSwitch(const std::string& arg) {
    if (!isSwitch(arg)) return false;
    const std::string name = arg.substr(1);
    return name == "?" || text::equalsIgnoringCase(name, "h") || text::equalsIgnoringCase(name, "help");
}

ParseResult fail(std::string why) { return {std::nullopt, std::move(why)}; }

}  // namespace

ParseResult parseCommandLine(const std::vector<std::string>& args) {
    Request request;
    // Asking for help is never an error, whatever else the line holds.
    for (const std::string& arg : args)
        if (isHelpSwitch(arg)) return {request, ""};
    std::optional<Action> command;
    bool quiet = false, passive = false;
    // The command a following name belongs to; a switch in between ends the list.
    bool takingNames = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!isSwitch(arg)) {
            if (!takingNames) return fail(arg.empty() ? texts::EmptyName : texts::NameWithoutCommand + arg);
            if (arg.empty()) return fail(texts::EmptyName);
            request.names.push_back(arg);
            continue;
        }
        takingNames = false;
        const std::string name = arg.substr(1);
        auto is = [&](const char* word) { return text::equalsIgnoringCase(name, word); };
        if (is("status") || is("install") || is("uninstall") || is("repair") || is("layout")) {
            const Action action = is("status")    ? Action::Status
                                  : is("install") ? Action::Install
                                  : is("repair")  ? Action::Repair
                                  : is("layout")  ? Action::Layout
                                                  : Action::Uninstall;
            if (command) return fail(texts::TwoCommands);
            command = action;
            takingNames = action != Action::Status;
        } else if (is("json")) {
            request.json = true;
        } else if (is("out")) {
            if (i + 1 >= args.size() || args[i + 1].empty() || isSwitch(args[i + 1])) return fail(texts::OutFileMissing);
            request.outFile = args[++i];
        } else if (is("log")) {
            if (i + 1 >= args.size() || args[i + 1].empty() || isSwitch(args[i + 1])) return fail(texts::LogFileMissing);
            request.logFile = args[++i];
        } else if (is("quiet") || is("q") || is("qn")) {
            quiet = true;
        } else if (is("passive")) {
            passive = true;
        } else {
            return fail(texts::UnknownSwitch + arg);
        }
    }

    if (!command) return fail(texts::NoCommand);
    request.action = *command;
    if (quiet && passive) return fail(texts::QuietAndPassive);
    if (request.action == Action::Status) {
        if (quiet || passive) return fail(texts::DisplayWithStatus);
    } else {
        if (request.json) return fail(texts::JsonWithoutStatus);
        if (request.names.empty() && request.action != Action::Repair && request.action != Action::Layout)
            return fail(std::string(texts::NamesMissing) + (request.action == Action::Install ? "/install" : "/uninstall"));
    }
    request.display = quiet ? Display::Quiet : Display::Passive;
    return {request, ""};
}

}  // namespace cli
