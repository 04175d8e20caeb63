// Opening what a hyperlink points at, on the in-memory machine: addresses straight to the shell, documents
// through the download dialog into the Resources folder first, and the texts of the failure box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppTexts.h"
#include "components/OperationContext.h"
#include "controls/ControlTexts.h"
#include "controls/OpenLink.h"
#include "download/FetchTestSupport.h"
#include "download/InlineDialogs.h"
#include "platform/fake/FakeMachine.h"
#include "support/RecordingUi.h"
#include "support/ScriptedDialogs.h"

using components::DialogEnd;
using platform::fake::FakeMachine;

namespace {

const char* AppFolder = "C:\\Installer";
const char* ResourcesFolder = "C:\\Installer\\_OrvantaInstallData\\Resources";

struct LinkMachine {
    FakeMachine m;
    RecordingUi ui;
    ScriptedDialogs dialogs;
    components::OperationContext ctx{m, ui, dialogs, AppFolder};

    int open(const std::string& url, int* code, const std::string& name = "Lumetra Manual") {
        return openLink(url, name, ctx, code);
    }
};

}  // namespace

TEST(OpenLink, AnAddressGoesToTheShellAndItsFailureBecomesTheCode) {
    struct Case {
        const char* url;
        intptr_t shellResult;
        int result, code;
    } cases[] = {
        {"http://www.orvanta-vision.com/support", 42, 1, 7},
        {"http://www.orvanta-vision.com/support", 33, 1, 7},
        {"http://www.orvanta-vision.com/support", 32, -1, 32},
        {"http://www.orvanta-vision.com/support", 31, -1, 31},
        {"http://www.orvanta-vision.com/support", 0, -1, 0},
        // Only the last four characters decide: these are addresses, not documents.
        {"http://host/manual.pdf.html", 42, 1, 7},
        {"http://host/picture.jpg", 26, -1, 26},
        {"pdf", 2, -1, 2},
        {"mailto:support@orvanta-vision.com", 42, 1, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.url) + " / " + std::to_string(c.shellResult));
        LinkMachine lm;
        intptr_t result = c.shellResult;
        lm.m.processes.onShellOpen(c.url, [result](FakeMachine&, const std::string&) {
            return static_cast<uint32_t>(result);
        });
        int code = 7;
        EXPECT_EQ(lm.open(c.url, &code), c.result);
        EXPECT_EQ(code, c.code);
        ASSERT_EQ(lm.m.processes.shellCalls.size(), 1u);
        const auto& call = lm.m.processes.shellCalls[0];
        EXPECT_EQ(call.verb, "open");
        EXPECT_EQ(call.file, c.url);
        EXPECT_EQ(call.parameters, "");
        EXPECT_EQ(call.directory, "");
        EXPECT_TRUE(lm.dialogs.opened.empty());
        EXPECT_TRUE(lm.ui.messages.empty());
    }
}

TEST(OpenLink, ADocumentIsDownloadedOnlyIntoTheResourcesFolderAsComponentOneOfOne) {
    for (const char* url : {"http://vendor.test/docs/Lumetra Manual.pdf", "http://vendor.test/docs/Scheme.PNG",
                            "http://vendor.test\\docs\\Manual.Pdf", "http://vendor.test/a\\b/Wiring.pNg"}) {
        SCOPED_TRACE(url);
        LinkMachine lm;
        std::string expectedName = std::string(url).substr(std::string(url).find_last_of("\\/") + 1);
        std::vector<dvComponentInfo> seen;
        lm.dialogs.onDownloadAndInstall = [&](const dvComponentInfo& record, const components::DownloadRunFlags&) {
            seen.push_back(record);
            lm.m.files.addFile(record.downloadFolder() + "\\" + record.fileName(), "document");
            return DialogEnd::Ok;
        };
        int code = 7;
        EXPECT_EQ(lm.open(url, &code, "Wiring Diagram"), 1);
        EXPECT_EQ(code, 7);

        ASSERT_EQ(lm.dialogs.opened.size(), 1u);
        const DialogRecord& dialog = lm.dialogs.opened[0];
        EXPECT_EQ(dialog.kind, "downloadAndInstall");
        EXPECT_EQ(dialog.index, 1);
        EXPECT_EQ(dialog.total, 1);
        EXPECT_TRUE(dialog.flags.downloadOnly);
        EXPECT_FALSE(dialog.flags.forceDownload);
        EXPECT_TRUE(dialog.flags.reportErrors);
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].displayName(), "Wiring Diagram");
        EXPECT_EQ(seen[0].downloadUrl(), url);
        EXPECT_EQ(seen[0].fileName(), expectedName);
        EXPECT_EQ(seen[0].installArguments(), "");
        EXPECT_EQ(seen[0].downloadFolder(), ResourcesFolder);
        EXPECT_FALSE(seen[0].isMsiPackage());
        EXPECT_FALSE(seen[0].alwaysDownload());
        EXPECT_EQ(seen[0].category(), "");

        ASSERT_EQ(lm.m.processes.shellCalls.size(), 1u);
        EXPECT_EQ(lm.m.processes.shellCalls[0].verb, "open");
        EXPECT_EQ(lm.m.processes.shellCalls[0].file, std::string(ResourcesFolder) + "\\" + expectedName);
        EXPECT_TRUE(lm.ui.messages.empty());
    }
}

// The whole way through the real download run (no window): the first click fetches the document, the second
// opens the copy already in the Resources folder without asking the server again.
TEST(OpenLink, ASecondClickOpensTheDownloadedDocumentWithoutTheNetwork) {
    FakeMachine m;
    RecordingUi ui;
    download::InlineDialogs dialogs(m, ui);
    components::OperationContext ctx{m, ui, dialogs, AppFolder};
    m.http.serve("vendor.test", 80, "/orvanta/docs/Manual.PDF", fetchtest::ok("%PDF-1.4 manual"));
    const std::string url = "http://vendor.test/orvanta/docs/Manual.PDF";
    const std::string local = std::string(ResourcesFolder) + "\\Manual.PDF";

    int code = 0;
    EXPECT_EQ(openLink(url, "Manual", ctx, &code), 1);
    EXPECT_EQ(m.files.content(local), "%PDF-1.4 manual");
    std::size_t requestsAfterFirst = m.http.requests.size();
    EXPECT_GE(requestsAfterFirst, 1u);

    EXPECT_EQ(openLink(url, "Manual", ctx, &code), 1);
    EXPECT_EQ(m.http.requests.size(), requestsAfterFirst);
    ASSERT_EQ(m.processes.shellCalls.size(), 2u);
    for (const auto& call : m.processes.shellCalls) EXPECT_EQ(call.file, local);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(OpenLink, DocumentFailuresGiveTheirNegativeCodesAndMessages) {
    struct Case {
        const char* name;
        const char* url;
        DialogEnd dialogEnd;
        bool fileAppears;
        int code;
        const char* message;  // openLink's own box, if any
        bool dialogOpened;
    } cases[] = {
        {"no separator", "Manual.pdf", DialogEnd::Ok, true, linkerror::UnparsableDownloadPath,
         controltexts::UnableToParseDownloadPath, false},
        {"download cancelled", "http://vendor.test/Manual.pdf", DialogEnd::Cancel, false, linkerror::DownloadFailed,
         nullptr, true},
        {"download cancelled, a file left behind", "http://vendor.test/Manual.pdf", DialogEnd::Cancel, true,
         linkerror::DownloadFailed, nullptr, true},
        {"downloaded yet missing", "http://vendor.test/Manual.pdf", DialogEnd::Ok, false, linkerror::DocumentMissing,
         controltexts::UnableToLocateResource, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LinkMachine lm;
        lm.dialogs.onDownloadAndInstall = [&](const dvComponentInfo& record, const components::DownloadRunFlags&) {
            if (c.fileAppears) lm.m.files.addFile(record.downloadFolder() + "\\" + record.fileName(), "x");
            return c.dialogEnd;
        };
        int code = 7;
        EXPECT_EQ(lm.open(c.url, &code), -1);
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(lm.dialogs.opened.size(), c.dialogOpened ? 1u : 0u);
        EXPECT_TRUE(lm.m.processes.shellCalls.empty());
        if (c.message) {
            ASSERT_EQ(lm.ui.messages.size(), 1u);
            EXPECT_EQ(lm.ui.messages[0].text, c.message);
            EXPECT_EQ(lm.ui.messages[0].caption, apptexts::InstallerTitle);
            EXPECT_EQ(lm.ui.messages[0].buttons, ui::Buttons::Ok);
            EXPECT_FALSE(lm.ui.messages[0].applicationBox);
        } else {
            EXPECT_TRUE(lm.ui.messages.empty());
        }
    }
}

TEST(OpenLink, ADownloadedDocumentTheShellCannotOpenGivesTheShellsCode) {
    for (intptr_t shellResult : {31, 26, 2, 0}) {
        SCOPED_TRACE(shellResult);
        LinkMachine lm;
        lm.m.files.addFile(std::string(ResourcesFolder) + "\\Manual.pdf", "x");
        lm.m.processes.onShellOpen(std::string(ResourcesFolder) + "\\Manual.pdf",
                                   [shellResult](FakeMachine&, const std::string&) {
                                       return static_cast<uint32_t>(shellResult);
                                   });
        int code = 7;
        EXPECT_EQ(lm.open("http://vendor.test/Manual.pdf", &code), -1);
        EXPECT_EQ(code, shellResult);
        EXPECT_TRUE(lm.ui.messages.empty());
    }
}

TEST(OpenLink, NoCodeIsWrittenWithoutAPlaceForIt) {
    LinkMachine lm;
    EXPECT_EQ(lm.open("Manual.pdf", nullptr), -1);
    lm.m.processes.onShellOpen("http://x/", [](FakeMachine&, const std::string&) { return 2u; });
    EXPECT_EQ(lm.open("http://x/", nullptr), -1);
}

TEST(HyperlinkFailureText, EveryCodeHasItsExplanationAfterTheHeading) {
    struct Case {
        int code;
        const char* text;
    } cases[] = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        // Everything else is unknown, openLink's own codes included.
        {-1, "Unknown Error (-1) occurred."},
        {-2, "Unknown Error (-2) occurred."},
        {-3, "Unknown Error (-3) occurred."},
        {1, "Unknown Error (1) occurred."},
        {4, "Unknown Error (4) occurred."},
        {33, "Unknown Error (33) occurred."},
        {1155, "Unknown Error (1155) occurred."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(hyperlinkFailureText(c.code), std::string("Unable to open hyperlink:\n\n") + c.text);
    }
}
