// The unattended command line's parser: what a fleet tool's line becomes, and which lines are refused.
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/UnattendedTexts.h"

using namespace cli;

namespace {
using Args = std::vector<std::string>;
}

TEST(CommandLine, AcceptedLinesBecomeTheirRequest) {
    struct Case {
        Args args;
        Action action;
        Args names;
        Display display;
        bool json;
        const char* outFile;
    } cases[] = {
        {{"/status"}, Action::Status, {}, Display::Passive, false, nullptr},
        {{"-STATUS", "/Json", "/out", "C:\\out dir\\s.json"}, Action::Status, {}, Display::Passive, true,
         "C:\\out dir\\s.json"},
        {{"/install", "Python 2.6.6", "extensions", "/quiet"}, Action::Install, {"Python 2.6.6", "extensions"},
         Display::Quiet, false, nullptr},
        {{"/passive", "/uninstall", "Orvanta Plexor 1.9.0.24"}, Action::Uninstall, {"Orvanta Plexor 1.9.0.24"},
         Display::Passive, false, nullptr},
        {{"/install", "A", "/out", "log.txt", "/q"}, Action::Install, {"A"}, Display::Quiet, false, "log.txt"},
        // Help wins over everything else on the line, even over what would be an error.
        {{"/install", "/?"}, Action::Usage, {}, Display::Passive, false, nullptr},
        {{"/bogus", "-h"}, Action::Usage, {}, Display::Passive, false, nullptr},
    };
    for (const Case& c : cases) {
        std::string line;
        for (auto& a : c.args) line += a + " ";
        SCOPED_TRACE(line);
        ParseResult r = parseCommandLine(c.args);
        ASSERT_TRUE(r.request) << r.error;
        EXPECT_EQ(r.request->action, c.action);
        EXPECT_EQ(r.request->names, c.names);
        EXPECT_EQ(r.request->display, c.display);
        EXPECT_EQ(r.request->json, c.json);
        EXPECT_EQ(r.request->outFile.value_or("(none)"), c.outFile ? c.outFile : "(none)");
    }
}

TEST(CommandLine, WrongLinesAreRefusedWithAReason) {
    const Args cases[] = {
        {"/bogus"},
        {"/status", "/layout"},
        {"Python 2.6.6"},                         // a name without a command
        {"/install"},                             // a command without a name
        {"/uninstall", "/quiet"},
        {"/install", "A", "/quiet", "B"},         // a name after an option
        {"/install", "A", "/uninstall", "B"},     // two commands
        {"/status", "/status"},
        {"/install", ""},                         // an empty name (an empty variable in a script)
        {"/status", "/out"},                      // /out without its file
        {"/status", "/out", "/json"},
        {"/install", "A", "/quiet", "/passive"},
        {"/install", "A", "/json"},
        {"/status", "/quiet"},
        {"/json"},
        {"/"},
        {},
        {"/repair", "/json"},
        {"/repair", "/status"},
        {"/repair", "A", "/install", "B"},
        {"/status", "/passive", "/log", "s.log"},  // the log does not make a display switch right
        {"A", "/repair"},                          // names come after their command
        {"/log", "a.log"},                         // a log of no request
    };
    for (const Args& args : cases) {
        std::string line;
        for (auto& a : args) line += "[" + a + "] ";
        SCOPED_TRACE(line);
        ParseResult r = parseCommandLine(args);
        EXPECT_FALSE(r.request);
        EXPECT_FALSE(r.error.empty());
    }
}

TEST(CommandLine, RepairNeedsNoNamesAndEveryCommandTakesALogCopy) {
    struct Case {
        Args args;
        Action action;
        Args names;
        Display display;
        const char* logFile;
    } cases[] = {
        {{"/repair"}, Action::Repair, {}, Display::Passive, nullptr},
        {{"-REPAIR", "Python 2.6.6", "modules", "/quiet"}, Action::Repair, {"Python 2.6.6", "modules"},
         Display::Quiet, nullptr},
        {{"/repair", "/log", "C:\\fleet logs\\orvanta.log"}, Action::Repair, {}, Display::Passive,
         "C:\\fleet logs\\orvanta.log"},
        {{"/LOG", "a.log", "/install", "A", "/passive"}, Action::Install, {"A"}, Display::Passive, "a.log"},
        {{"/status", "/json", "-log", "s.log"}, Action::Status, {}, Display::Passive, "s.log"},
        // The last of two copies is the one written, as with /out.
        {{"/uninstall", "A", "/log", "x.log", "/log", "y.log"}, Action::Uninstall, {"A"}, Display::Passive, "y.log"},
        {{"/repair", "A", "/log", "r.log", "/q"}, Action::Repair, {"A"}, Display::Quiet, "r.log"},
    };
    for (const Case& c : cases) {
        std::string line;
        for (auto& a : c.args) line += a + " ";
        SCOPED_TRACE(line);
        ParseResult r = parseCommandLine(c.args);
        ASSERT_TRUE(r.request) << r.error;
        EXPECT_EQ(r.request->action, c.action);
        EXPECT_EQ(r.request->names, c.names);
        EXPECT_EQ(r.request->display, c.display);
        EXPECT_EQ(r.request->logFile.value_or("(none)"), c.logFile ? c.logFile : "(none)");
        EXPECT_FALSE(r.request->outFile);
    }
}

TEST(CommandLine, ALogWithoutItsFileIsRefusedWithThatReason) {
    const Args cases[] = {
        {"/repair", "/log"},
        {"/install", "A", "/log", ""},
        {"/status", "/log", "/json"},
        {"/status", "/log", "-quiet"},
    };
    for (const Args& args : cases) {
        std::string line;
        for (auto& a : args) line += "[" + a + "] ";
        SCOPED_TRACE(line);
        ParseResult r = parseCommandLine(args);
        EXPECT_FALSE(r.request);
        EXPECT_EQ(r.error, unattendedtexts::LogFileMissing);
    }
    // A name after the log's file is not taken for the file's continuation.
    ParseResult r = parseCommandLine({"/repair", "/log", "r.log", "A"});
    EXPECT_FALSE(r.request);
    EXPECT_EQ(r.error, std::string(unattendedtexts::NameWithoutCommand) + "A");
}
