#include "components/PackagedModules.h"

#include "platform/TextCompare.h"

namespace components {

namespace {

// Delivered as zip archives: the download-and-install run only fetches them, and the installer unpacks or
// hands them on itself afterwards.
constexpr const char* ArchivePackagedNames[] = {
    "OpenCV 2.3.1",
    "OpenCV 2.4.6",
    "OpenCV 2.4.8",
    "Orvanta 9.3.0.524 IPP",
    "Tavrel 1.0.0.1(3587)",
    "OPC Scout (SIMATIC NET OPC-Client V6.2-3133)",
    "Imaging Source Camera Driver",
};

}  // namespace

bool isArchivePackaged(const std::string& displayName) {
    for (const char* name : ArchivePackagedNames)
        if (text::equalsIgnoringCase(name, displayName)) return true;
    return false;
}

}  // namespace components
