// Reading the tutorials and resources lists and grouping their items into category tabs.
#include <gtest/gtest.h>

#include "content/ContentList.h"
#include "platform/fake/FakeMachine.h"

using platform::fake::FakeMachine;

namespace {

const std::string kApp = "C:\\Installer";

TEST(ContentListFiles, PathsAndUrls) {
    EXPECT_EQ(contentListPath(kApp, kTutorialsListFile),
              "C:\\Installer\\_OrvantaInstallData\\Tutorials\\578Lumetratutorials.ini.txt");
    EXPECT_EQ(contentListPath(kApp, kResourcesListFile),
              "C:\\Installer\\_OrvantaInstallData\\Resources\\578resorces.ini.txt");
    EXPECT_EQ(contentListFolder(kApp, kReadmeListFile), "C:\\Installer\\_OrvantaInstallData\\Readme");
    EXPECT_EQ(contentListUrl("http://127.0.0.1:8080", kReadmeListFile),
              "http://127.0.0.1:8080/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaLumetraSDK/"
              "578readmeLumetraSDK.rtf");
    EXPECT_EQ(contentListUrl("http://s", kResourcesListFile),
              "http://s/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaVisionSoftware/578resorces.ini.txt");
    EXPECT_STREQ(kTutorialsListFile.displayName, "Orvanta Lumetra SDK Tutorials");
    EXPECT_STREQ(kResourcesListFile.category, "Resources");
    EXPECT_STREQ(kReadmeListFile.category, "Readme Notes");
}

TEST(ContentList, ReadsTheFileFromTheMachine) {
    FakeMachine m;
    const std::string path = contentListPath(kApp, kTutorialsListFile);
    m.files.addFile(path,
                    "[T01 Getting Started]\r\n"
                    "Caption = First steps \r\n"
                    "URL=http://server/tutorials/first.zip\r\n"
                    "\r\n"
                    "[T02 Getting Started]\r\n"
                    "caption=Second\r\n"
                    "[R01 Reference]\r\n");
    ContentList list = ContentList::read(m.files, path);
    EXPECT_TRUE(list.exists());
    EXPECT_EQ(list.sectionNames(),
              (std::vector<std::string>{"T01 Getting Started", "T02 Getting Started", "R01 Reference"}));
    EXPECT_EQ(list.value("t01 getting started", tutorialKey::kCaption), "First steps");
    EXPECT_EQ(list.value("T02 Getting Started", tutorialKey::kCaption), "Second");
    EXPECT_EQ(list.value("T01 Getting Started", tutorialKey::kUrl), "http://server/tutorials/first.zip");
    EXPECT_EQ(list.value("T01 Getting Started", tutorialKey::kVideoUrl), "");
    EXPECT_EQ(list.value("R01 Reference", tutorialKey::kPdfName), "");
}

TEST(ContentList, MissingOrUnreadableFileIsAnEmptyList) {
    FakeMachine m;
    const std::string path = contentListPath(kApp, kResourcesListFile);
    ContentList missing = ContentList::read(m.files, path);
    EXPECT_FALSE(missing.exists());
    EXPECT_TRUE(missing.sectionNames().empty());
    EXPECT_EQ(missing.value("Any", resourceKey::kName), "");
    EXPECT_EQ(missing.value("Any", resourceKey::kColumn), "0");

    m.files.addFile(path, "[R1 Links]\nName=x\n");
    m.files.fault = [](const std::string& op, const std::string&) { return op == "open"; };
    EXPECT_FALSE(ContentList::read(m.files, path).exists());
}

TEST(ContentList, ColumnDefaultsToZero) {
    ContentList list("[R1 Links]\nName=Site\n[R2 Links]\nColumn = 2\n[R3 Links]\nColumn=\n");
    EXPECT_EQ(list.value("R1 Links", resourceKey::kColumn), "0");
    EXPECT_EQ(list.value("R2 Links", resourceKey::kColumn), "2");
    EXPECT_EQ(list.value("R3 Links", resourceKey::kColumn), "");  // present but empty is not missing
    EXPECT_EQ(list.value("R9 Missing", resourceKey::kColumn), "0");
    EXPECT_EQ(list.value("R1 Links", resourceKey::kImageUrl), "");
    EXPECT_EQ(defaultValueOfKey("column"), "0");
    EXPECT_EQ(defaultValueOfKey("Caption"), "");
}

TEST(ContentList, LongValuesAreCutTo1023Characters) {
    ContentList list("[A b]\nInfoText=" + std::string(5000, 'i') + "\n");
    EXPECT_EQ(list.value("A b", tutorialKey::kInfoText), std::string(1023, 'i'));
}

TEST(ContentList, SectionNamesThatDoNotFitThe8192ByteBufferAreNotItems) {
    std::string text;
    std::vector<std::string> all;
    for (int i = 0; i < 700; ++i) {
        std::string name = "T" + std::to_string(1000 + i) + " Tutorials";  // 15 characters, 16 with the zero
        all.push_back(name);
        text += "[" + name + "]\nCaption=" + name + "\n";
    }
    ContentList list(text);
    // 8190 bytes are returned: 511 whole names (8176 bytes) and 14 bytes of the next, which is dropped.
    std::vector<std::string> names = list.sectionNames();
    ASSERT_EQ(names.size(), 511u);
    EXPECT_EQ(names, std::vector<std::string>(all.begin(), all.begin() + 511));
    EXPECT_EQ(list.value(all[699], tutorialKey::kCaption), all[699]);  // values of any section still read
}

TEST(ContentList, SplitSectionNames) {
    EXPECT_TRUE(splitSectionNames("").empty());
    EXPECT_EQ(splitSectionNames(std::string("a\0b c\0", 6)), (std::vector<std::string>{"a", "b c"}));
    EXPECT_EQ(splitSectionNames(std::string("a\0par", 5)), (std::vector<std::string>{"a"}));
}

TEST(ContentCategories, CategoryOfSection) {
    struct Case {
        const char* section;
        const char* category;
    } cases[] = {
        {"T01 Getting Started", " Getting Started"},
        {"Overview", "Overview"},
        {"A1  Two Blanks", "  Two Blanks"},
        {"X ", " "},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(categoryOfSection(c.section), c.category) << c.section;
}

TEST(ContentCategories, DistinctCategoriesInOrderFirstSpellingWins) {
    EXPECT_EQ(distinctCategories({"A1 Basics", "A2 basics", "B1 Advanced"}),
              (std::vector<std::string>{" Basics", " Advanced"}));
    EXPECT_EQ(distinctCategories({"Overview", "T1 Getting Started", "OVERVIEW", "T2 getting STARTED", "Z Extra"}),
              (std::vector<std::string>{"Overview", " Getting Started", " Extra"}));
    EXPECT_TRUE(distinctCategories({}).empty());
    // A list file without sections gives no tab at all.
    EXPECT_TRUE(distinctCategories(ContentList("; no sections yet\nCaption=orphan\n").sectionNames()).empty());
}

TEST(ContentCategories, TabFilter) {
    const std::vector<std::string> sections = {"A1 Basics", "A2 basics", "B1 Advanced", "Overview",
                                               "T5 The overview of basics", "Overviews"};
    // The first tab of the A1/A2/B1 example shows the first two items.
    EXPECT_EQ(sectionsOfCategory({"A1 Basics", "A2 basics", "B1 Advanced"}, toLowerCase(" Basics")),
              (std::vector<std::string>{"A1 Basics", "A2 basics"}));
    // A category without a blank also collects every section that contains the word, in any case.
    EXPECT_EQ(sectionsOfCategory(sections, toLowerCase("Overview")),
              (std::vector<std::string>{"Overview", "T5 The overview of basics", "Overviews"}));
    EXPECT_EQ(sectionsOfCategory(sections, " basics"),
              (std::vector<std::string>{"A1 Basics", "A2 basics", "T5 The overview of basics"}));
    EXPECT_TRUE(sectionMatchesCategory("B1 Advanced", " advanced"));
    // The filter is compared as the tab dialog holds it: lower case.
    EXPECT_FALSE(sectionMatchesCategory("T01 Getting Started", "Getting Started"));
    EXPECT_TRUE(sectionMatchesCategory("T01 Getting Started", "getting started"));
}

TEST(ContentCategories, FromFileToTabs) {
    ContentList list(
        "[Overview]\nName=o\n"
        "[L1 Web Links]\nName=a\n"
        "[D1 Documents]\nName=b\n"
        "[L2 web links]\nName=c\n");
    std::vector<std::string> sections = list.sectionNames();
    std::vector<std::string> categories = distinctCategories(sections);
    ASSERT_EQ(categories, (std::vector<std::string>{"Overview", " Web Links", " Documents"}));
    std::vector<std::string> names;
    for (const std::string& s : sectionsOfCategory(sections, toLowerCase(categories[1])))
        names.push_back(list.value(s, resourceKey::kName));
    EXPECT_EQ(names, (std::vector<std::string>{"a", "c"}));
}

}  // namespace
