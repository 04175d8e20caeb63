// Any bytes as a list file: the profile reader and the list reading must neither crash nor break the promises
// the pages rely on (buffer limits, clean names, every section on the tab of its own category).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "content/ContentList.h"
#include "platform/IniText.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1A';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    // Names: never more than the buffer holds, a cut last name only when the buffer is full.
    std::vector<std::string> previous;
    for (std::size_t buffer : {std::size_t(0), std::size_t(1), std::size_t(2), std::size_t(7), std::size_t(64),
                               std::size_t(8192)}) {
        std::string names = platform::ini::sectionNames(text, buffer);
        if (buffer < 2) {
            require(names.empty());
            continue;
        }
        require(names.size() <= buffer - 1);
        if (!names.empty() && names.back() != '\0') require(names.size() == buffer - 2);
        std::vector<std::string> split = splitSectionNames(names);
        // A bigger buffer never loses a name a smaller one returned.
        require(split.size() >= previous.size());
        for (std::size_t i = 0; i < previous.size(); ++i) require(split[i] == previous[i]);
        previous = split;
    }

    ContentList list(text);
    std::vector<std::string> sections = list.sectionNames();
    require(sections == previous);
    std::vector<std::string> categories = distinctCategories(sections);
    for (std::size_t i = 0; i < categories.size(); ++i)
        for (std::size_t j = i + 1; j < categories.size(); ++j)
            require(toLowerCase(categories[i]) != toLowerCase(categories[j]));
    std::size_t asked = 0;
    for (const std::string& section : sections) {
        require(!section.empty() && section.find('\0') == std::string::npos);
        // Trimmed before the zero byte cuts it, as Windows does: only the front is sure to be clean.
        require(!isBlank(section.front()));
        const std::string category = categoryOfSection(section);
        require(section.size() >= category.size() &&
                section.compare(section.size() - category.size(), category.size(), category) == 0);
        require(sectionMatchesCategory(section, toLowerCase(category)));
        if (++asked > 16) continue;
        for (const char* key : {"Caption", "URL", "Column", "", " name "}) {
            std::string value = list.value(section, key);
            require(value.size() <= kListValueBufferBytes - 1);
            require(value.find('\0') == std::string::npos);
            for (std::size_t buffer : {std::size_t(1), std::size_t(2), std::size_t(5)})
                require(platform::ini::value(text, section, key, "\"d\"  ", buffer).size() <= buffer - 1);
        }
    }
    return 0;
}
