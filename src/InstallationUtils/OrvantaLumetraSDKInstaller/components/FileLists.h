// The files an unpacked module must hold to count as complete, each relative to the module's folder.
// The lists are built from the naming rules of the modules' own packages, in the order they are checked.
#pragma once

#include <string>
#include <vector>

namespace components::filelists {

// Below runtime + "IPP924": every IPP domain library with its five processor variants, the core library and
// the two message catalogues (87 files).
const std::vector<std::string>& ipp();
// Below runtime + "OpenCV23": the FFmpeg wrapper and every module in release and debug builds (27 files).
const std::vector<std::string>& openCV231();
// Below runtime + "OpenCV246" (20 files).
const std::vector<std::string>& openCV246();
// Below runtime + "OpenCV248": as 2.4.6 without the test module (19 files).
const std::vector<std::string>& openCV248();
// Below the Tavrel folder: the GUI and the client (10 files).
const std::vector<std::string>& tavrel();

}  // namespace components::filelists
