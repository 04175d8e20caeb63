// The module file lists decide "Incomplete Module"; a wrong or missing name would flag every good install.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "components/FileLists.h"

namespace filelists = components::filelists;

namespace {
std::set<std::string> asSet(const std::vector<std::string>& v) { return {v.begin(), v.end()}; }
}  // namespace

TEST(FileLists, IppHoldsEveryDomainWithItsFiveProcessorBuildsPlusCoreAndMessages) {
    const auto& list = filelists::ipp();
    ASSERT_EQ(list.size(), 87u);
    EXPECT_EQ(asSet(list).size(), 87u) << "duplicates";
    // 14 domains x (generic + 5 processor builds) = 84 names of this shape at most; with the three extras and no
    // duplicates, 87 names can only be exactly those.
    std::regex domainLibrary("ipp(ac|cc|ch|cv|dc|di|i|j|m|r|s|sc|vc|vm)(g9|p8|s8|v8|w7)?-7\\.0\\.dll");
    std::set<std::string> extras = {"ippcore-7.0.dll", "1033\\ippmsg.dll", "1041\\ippmsg.dll"};
    int domainFiles = 0;
    for (const std::string& f : list) {
        if (extras.count(f)) continue;
        EXPECT_TRUE(std::regex_match(f, domainLibrary)) << f;
        ++domainFiles;
    }
    EXPECT_EQ(domainFiles, 84);
    for (const std::string& f : extras) EXPECT_TRUE(asSet(list).count(f)) << f;
    // Spot checks of the spelling: the single-letter domains and a processor build.
    for (const char* f : {"ippi-7.0.dll", "ippiw7-7.0.dll", "ippj-7.0.dll", "ippsg9-7.0.dll", "ippvmp8-7.0.dll"})
        EXPECT_TRUE(asSet(list).count(f)) << f;
}

TEST(FileLists, OpenCVListsNameEveryModuleOfTheirRelease) {
    const std::vector<std::string> v231 = {
        "opencv_ffmpeg.dll",
        "opencv_calib3d231.dll", "opencv_calib3d231d.dll", "opencv_contrib231.dll", "opencv_contrib231d.dll",
        "opencv_core231.dll", "opencv_core231d.dll", "opencv_features2d231.dll", "opencv_features2d231d.dll",
        "opencv_flann231.dll", "opencv_flann231d.dll", "opencv_gpu231.dll", "opencv_gpu231d.dll",
        "opencv_highgui231.dll", "opencv_highgui231d.dll", "opencv_imgproc231.dll", "opencv_imgproc231d.dll",
        "opencv_legacy231.dll", "opencv_legacy231d.dll", "opencv_ml231.dll", "opencv_ml231d.dll",
        "opencv_objdetect231.dll", "opencv_objdetect231d.dll", "opencv_ts231.dll", "opencv_ts231d.dll",
        "opencv_video231.dll", "opencv_video231d.dll"};
    const std::vector<std::string> v246 = {
        "opencv_calib3d246.dll", "opencv_contrib246.dll", "opencv_core246.dll", "opencv_features2d246.dll",
        "opencv_ffmpeg246.dll", "opencv_flann246.dll", "opencv_gpu246.dll", "opencv_highgui246.dll",
        "opencv_imgproc246.dll", "opencv_legacy246.dll", "opencv_ml246.dll", "opencv_nonfree246.dll",
        "opencv_objdetect246.dll", "opencv_ocl246.dll", "opencv_photo246.dll", "opencv_stitching246.dll",
        "opencv_superres246.dll", "opencv_ts246.dll", "opencv_video246.dll", "opencv_videostab246.dll"};
    const std::vector<std::string> v248 = {
        "opencv_calib3d248.dll", "opencv_contrib248.dll", "opencv_core248.dll", "opencv_features2d248.dll",
        "opencv_ffmpeg248.dll", "opencv_flann248.dll", "opencv_gpu248.dll", "opencv_highgui248.dll",
        "opencv_imgproc248.dll", "opencv_legacy248.dll", "opencv_ml248.dll", "opencv_nonfree248.dll",
        "opencv_objdetect248.dll", "opencv_ocl248.dll", "opencv_photo248.dll", "opencv_stitching248.dll",
        "opencv_superres248.dll", "opencv_video248.dll", "opencv_videostab248.dll"};
    EXPECT_EQ(filelists::openCV231().size(), 27u);
    EXPECT_EQ(asSet(filelists::openCV231()), asSet(v231));
    EXPECT_EQ(filelists::openCV246().size(), 20u);
    EXPECT_EQ(asSet(filelists::openCV246()), asSet(v246));
    EXPECT_EQ(filelists::openCV248().size(), 19u);
    EXPECT_EQ(asSet(filelists::openCV248()), asSet(v248));
}

TEST(FileLists, TavrelHoldsTheGuiAndTheClient) {
    const std::vector<std::string> expected = {
        "gui\\AxINTERNETMESSENGERLib.dll", "gui\\INTERNETMESSENGERLib.dll", "gui\\NLog.dll",
        "gui\\Tavrel.client.dll", "gui\\Tavrel.core.dll", "gui\\Tavrel.gui.exe", "gui\\Tavrel.RemoteInterfaces.dll",
        "client\\NLog.dll", "client\\Tavrel.client.dll", "client\\Tavrel.RemoteInterfaces.dll"};
    EXPECT_EQ(filelists::tavrel(), expected);
}
