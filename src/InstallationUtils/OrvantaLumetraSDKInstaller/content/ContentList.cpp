#include "content/ContentList.h"

#include <algorithm>

#include "platform/IniText.h"
#include "platform/TextCompare.h"

const ContentListFile kTutorialsListFile{
    "578Lumetratutorials.ini.txt",
    "/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaLumetraSDK/",
    "_OrvantaInstallData\\Tutorials",
    "Orvanta Lumetra SDK Tutorials",
    "Tutorials",
};

const ContentListFile kResourcesListFile{
    "578resorces.ini.txt",
    "/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaVisionSoftware/",
    "_OrvantaInstallData\\Resources",
    "Orvanta Vision Resources",
    "Resources",
};

const ContentListFile kReadmeListFile{
    "578readmeLumetraSDK.rtf",
    "/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaLumetraSDK/",
    "_OrvantaInstallData\\Readme",
    "Readme Notes",
    "Readme Notes",
};

std::string contentListFolder(const std::string& applicationFolder, const ContentListFile& list) {
    return applicationFolder + "\\" + list.localFolder;
}

std::string contentListPath(const std::string& applicationFolder, const ContentListFile& list) {
    return contentListFolder(applicationFolder, list) + "\\" + list.fileName;
}

std::string contentListUrl(const std::string& server, const ContentListFile& list) {
    return server + list.serverPath + list.fileName;
}

ContentList ContentList::read(platform::FileSystem& files, const std::string& listPath) {
    auto file = files.open(listPath, platform::Access::Read, platform::Disposition::OpenExisting);
    if (!file) return ContentList(std::string(), false);
    std::string text;
    char chunk[16 * 1024];
    for (;;) {
        long long got = file->read(chunk, sizeof chunk);
        if (got < 0) return ContentList(std::string(), false);
        if (got == 0) break;
        text.append(chunk, static_cast<std::size_t>(got));
    }
    return ContentList(std::move(text), true);
}

ContentList::ContentList(std::string text, bool exists) : text_(std::move(text)), exists_(exists) {}

std::vector<std::string> ContentList::sectionNames() const {
    return splitSectionNames(platform::ini::sectionNames(text_, kSectionNamesBufferBytes));
}

std::string ContentList::value(const std::string& section, const std::string& key) const {
    return platform::ini::value(text_, section, key, defaultValueOfKey(key), kListValueBufferBytes);
}

std::vector<std::string> splitSectionNames(const std::string& buffer) {
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t zero = buffer.find('\0'); zero != std::string::npos; zero = buffer.find('\0', start)) {
        names.push_back(buffer.substr(start, zero - start));
        start = zero + 1;
    }
    return names;
}

std::string toLowerCase(const std::string& text) { return text::toLowerAscii(text); }

std::string defaultValueOfKey(const std::string& key) {
    return toLowerCase(key) == toLowerCase(resourceKey::kColumn) ? "0" : "";
}

std::string categoryOfSection(const std::string& sectionName) {
    std::size_t blank = sectionName.find(' ');
    return blank == std::string::npos ? sectionName : sectionName.substr(blank);
}

std::vector<std::string> distinctCategories(const std::vector<std::string>& sectionNames) {
    std::vector<std::string> categories, seen;
    for (const std::string& section : sectionNames) {
        std::string category = categoryOfSection(section);
        std::string folded = toLowerCase(category);
        if (std::find(seen.begin(), seen.end(), folded) != seen.end()) continue;
        seen.push_back(folded);
        categories.push_back(category);
    }
    return categories;
}

bool sectionMatchesCategory(const std::string& sectionName, const std::string& categoryFilter) {
    return toLowerCase(sectionName).find(categoryFilter) != std::string::npos;
}

std::vector<std::string> sectionsOfCategory(const std::vector<std::string>& sectionNames,
                                            const std::string& categoryFilter) {
    std::vector<std::string> shown;
    for (const std::string& section : sectionNames)
        if (sectionMatchesCategory(section, categoryFilter)) shown.push_back(section);
    return shown;
}
