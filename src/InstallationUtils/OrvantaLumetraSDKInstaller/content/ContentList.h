// The list files that describe the content of the tutorials, resources and readme pages, and how the two INI
// lists (tutorials, resources) are read and grouped into categories.
//
// Each section of a list is one item, in file order; its name also decides the item's category tabs. A list is
// read through the machine's file system and the portable profile reader, so that it reads exactly as
// GetPrivateProfileSectionNamesA / GetPrivateProfileStringA read it on Windows, on every machine.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/Machine.h"

// One list file: where it comes from on the vendor server and where its page keeps it.
struct ContentListFile {
    const char* fileName;
    const char* serverPath;
    const char* localFolder;  // below the application folder
    const char* displayName;  // of the page's list record
    const char* category;     // of the page's list record
};

extern const ContentListFile kTutorialsListFile;
extern const ContentListFile kResourcesListFile;
extern const ContentListFile kReadmeListFile;

// The page's local folder made absolute ("%s\%s") and the list path inside it.
std::string contentListFolder(const std::string& applicationFolder, const ContentListFile& list);
std::string contentListPath(const std::string& applicationFolder, const ContentListFile& list);
// The download URL: the server followed by the server path and the file name ("%s%s").
std::string contentListUrl(const std::string& server, const ContentListFile& list);

// Buffer sizes of the two profile reads.
constexpr std::size_t kSectionNamesBufferBytes = 8192;
constexpr std::size_t kListValueBufferBytes = 1024;

// Keys of a tutorials list section.
namespace tutorialKey {
inline constexpr char kCaption[] = "Caption";
inline constexpr char kName[] = "Name";
inline constexpr char kProfileName[] = "ProfileName";
inline constexpr char kUrl[] = "URL";
inline constexpr char kPdfName[] = "PDFName";
inline constexpr char kVideoUrl[] = "VideoURL";
inline constexpr char kInfoText[] = "InfoText";
inline constexpr char kInfoUrl[] = "InfoURL";
}  // namespace tutorialKey

// Keys of a resources list section.
namespace resourceKey {
inline constexpr char kName[] = "Name";
inline constexpr char kUrl[] = "URL";
inline constexpr char kImageUrl[] = "ImageURL";
inline constexpr char kColumn[] = "Column";
}  // namespace resourceKey

// A list file as read from disk. The file is read once, when the list is read; a page reads it again each
// time it rebuilds its view, so it always shows what is on disk at that moment.
class ContentList {
public:
    // A file that is missing or cannot be read gives an empty list (no sections; every value its default).
    static ContentList read(platform::FileSystem& files, const std::string& listPath);
    explicit ContentList(std::string text, bool exists = true);

    // Whether the file was there to read.
    bool exists() const { return exists_; }
    // The section names in file order, as the 8192-byte section-names buffer holds them.
    std::vector<std::string> sectionNames() const;
    // The value of key in section (1024-byte buffer); when missing, the empty text, or "0" for "Column".
    std::string value(const std::string& section, const std::string& key) const;

private:
    std::string text_;
    bool exists_;
};

// The names in a section-names buffer: the pieces ended by a zero byte within count characters (a last
// piece cut short by a full buffer has no zero byte and is not a name).
std::vector<std::string> splitSectionNames(const std::string& buffer);

// What a key reads as when its section or the key itself is missing.
std::string defaultValueOfKey(const std::string& key);

// The category of a section: from its first blank to the end, the blank included ("T01 Getting Started" ->
// " Getting Started"); the whole name when it has no blank.
std::string categoryOfSection(const std::string& sectionName);

// The distinct categories of the sections in order of first appearance; categories that differ only in
// letter case are one, spelled as first seen.
std::vector<std::string> distinctCategories(const std::vector<std::string>& sectionNames);

// Text turned to lower case (ASCII letters), as the tab filter compares.
std::string toLowerCase(const std::string& text);

// The tab filter: whether a section shows on the tab whose lower-cased category is categoryFilter (the
// section name turned to lower case contains it). A section can show on more than one tab.
bool sectionMatchesCategory(const std::string& sectionName, const std::string& categoryFilter);

// The sections of one tab, in file order.
std::vector<std::string> sectionsOfCategory(const std::vector<std::string>& sectionNames,
                                            const std::string& categoryFilter);
