#include "components/FileLists.h"

namespace components::filelists {

const std::vector<std::string>& ipp() {
    static const std::vector<std::string> files = [] {
        const char* domains[] = {"ac", "cc", "ch", "cv", "dc", "di", "i", "j", "m", "r", "s", "sc", "vc", "vm"};
        // Processor-specific builds that the dispatcher of each domain library loads.
        const char* variants[] = {"g9", "p8", "s8", "v8", "w7"};
        std::vector<std::string> list;
        for (const char* d : domains) {
            list.push_back(std::string("ipp") + d + "-7.0.dll");
            for (const char* v : variants) list.push_back(std::string("ipp") + d + v + "-7.0.dll");
        }
        list.push_back("ippcore-7.0.dll");
        list.push_back("1033\\ippmsg.dll");
        list.push_back("1041\\ippmsg.dll");
        return list;
    }();
    return files;
}

const std::vector<std::string>& openCV231() {
    static const std::vector<std::string> files = [] {
        const char* modules[] = {"calib3d", "contrib", "core",      "features2d", "flann", "gpu",  "highgui",
                                 "imgproc", "legacy",  "ml",        "objdetect",  "ts",    "video"};
        std::vector<std::string> list{"opencv_ffmpeg.dll"};
        for (const char* m : modules) {
            list.push_back(std::string("opencv_") + m + "231.dll");
            list.push_back(std::string("opencv_") + m + "231d.dll");
        }
        return list;
    }();
    return files;
}

namespace {
std::vector<std::string> openCV24Modules(const char* version, bool withTests) {
    const char* modules[] = {"calib3d", "contrib", "core",   "features2d", "ffmpeg",    "flann", "gpu",
                             "highgui", "imgproc", "legacy", "ml",         "nonfree",   "objdetect",
                             "ocl",     "photo",   "stitching", "superres", "ts",       "video", "videostab"};
    std::vector<std::string> list;
    for (const char* m : modules) {
        if (!withTests && std::string(m) == "ts") continue;
        list.push_back(std::string("opencv_") + m + version + ".dll");
    }
    return list;
}
}  // namespace

const std::vector<std::string>& openCV246() {
    static const std::vector<std::string> files = openCV24Modules("246", true);
    return files;
}

const std::vector<std::string>& openCV248() {
    static const std::vector<std::string> files = openCV24Modules("248", false);
    return files;
}

const std::vector<std::string>& tavrel() {
    static const std::vector<std::string> files = {
        "gui\\AxINTERNETMESSENGERLib.dll",
        "gui\\INTERNETMESSENGERLib.dll",
        "gui\\NLog.dll",
        "gui\\Tavrel.client.dll",
        "gui\\Tavrel.core.dll",
        "gui\\Tavrel.gui.exe",
        "gui\\Tavrel.RemoteInterfaces.dll",
        "client\\NLog.dll",
        "client\\Tavrel.client.dll",
        "client\\Tavrel.RemoteInterfaces.dll",
    };
    return files;
}

}  // namespace components::filelists
