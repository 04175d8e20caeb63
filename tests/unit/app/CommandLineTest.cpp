// The unattended command line's parser: what a fleet tool's line becomes, and which lines are refused.
#include <gtest/gtest.h>

#include "app/CommandLine.h"

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
