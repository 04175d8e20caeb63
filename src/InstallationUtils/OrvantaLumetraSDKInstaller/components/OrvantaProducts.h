// What the installer relies on of the Orvanta products once their own installers have put them on the
// machine: how they are registered, where their folders are recorded, and the items it uses inside them.
#pragma once

#include <string>

namespace components::products {

struct OrvantaProduct {
    const char* displayName;  // also the installed product name Windows Installer reports
    const char* productCode;
};

inline constexpr OrvantaProduct Runtime{"Orvanta Version X 10.2.1.578 Runtime",
                                        "{9343AC02-FF75-439C-BF54-3F89BBDC82B5}"};
inline constexpr OrvantaProduct LumetraSdk{"Orvanta Lumetra Version X 10.2.1.578 SDK",
                                           "{D4BDBA34-FFBC-4494-9EE1-E13ED9CB827B}"};
inline constexpr OrvantaProduct PlexorClient{"Orvanta Plexor 1.9.0.24", "{FC84F31D-53C5-49CC-A799-80BFF4724731}"};

// Each product's folder is the value InstallPathValue of HKLM InstallPathKeyFormat (display name for %s); it
// ends with a backslash and items are appended to it directly.
inline constexpr const char* InstallPathKeyFormat = "SOFTWARE\\DALVOREN AS\\%s";
inline constexpr const char* InstallPathValue = "InstallPath";

// InstallPathKeyFormat filled with displayName.
std::string installPathKey(const std::string& displayName);

// Items below the Runtime folder.
namespace runtime {
inline constexpr const char* PythonFolder = "Python";
inline constexpr const char* Cv2Binding = "cv2.pyd";                      // in PythonFolder
inline constexpr const char* OlderCv2BindingFolder = "OpenCV2_4_3OrOlder";  // below PythonFolder
inline constexpr const char* PythonDll = "python26.dll";
inline constexpr const char* ParkedPythonDll = "py26.dll";

// The active build of the image library.
inline constexpr const char* VexLibFiles[] = {"VexLib.dll", "VexLib2.dll", "pyVexlib26.pyd", "OrvantaVexTools.dll",
                                              "Python\\vexlibct.py"};
// The prepared builds, each holding the same five files.
inline constexpr const char* VexLibBuildsFolder = "3.0.17.115";
inline constexpr const char* VexLibBuilds[] = {"Intel-Blend", "Intel-Blend-IPP", "VC8", "VC8-IPP", "Vexlib Beta"};

// Module folders written when packaged modules are set up.
inline constexpr const char* ModuleFolders[] = {"IPP924",     "OpenCV23",   "OpenCV242", "OpenCV243",
                                                "OpenCV244",  "OpenCV245",  "OpenCV246", "OpenCV248"};

inline constexpr const char* CaptureProgram = "OrvantaCapture.exe";
}  // namespace runtime

// Items below the SDK folder, opened by the quick links.
namespace sdk {
inline constexpr const char* TestContainer = "PictoraTestContainer.exe";
inline constexpr const char* ReadMe = "ReadMe.txt";
inline constexpr const char* RedistributableReadMe = "_Redistributable\\ReadMe.txt";
inline constexpr const char* QuintroDemoImage = "Demo\\Quintro\\DLVImage.opb";
inline constexpr const char* SendariDemoImage = "Demo\\Sendari\\DLVImage.opb";
}  // namespace sdk

// Item below the client folder, copied into the Runtime's Python folder.
namespace client {
inline constexpr const char* PlexorModule = "Python\\plexorx.py";
}  // namespace client

// Tutorials and their profiles below the user's documents folder ("%s" = documents folder, then
// TutorialsRootName).
inline constexpr const char* TutorialsRootName = "Orvanta 10.2";
inline constexpr const char* TutorialsFolderFormat = "%s\\%s\\Tutorials\\";
inline constexpr const char* ProfilesFolderFormat = "%s\\%s\\Profiles\\";

}  // namespace components::products
