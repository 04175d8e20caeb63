#include "components/PackagedModules.h"

#include <cstdint>
#include <cstdio>
#include <memory>

#include "app/AppTexts.h"
#include "app/DataFolders.h"
#include "app/FileUtils.h"
#include "components/ModuleTexts.h"
#include "components/OrvantaProducts.h"
#include "components/Probes.h"
#include "components/SystemConfig.h"
#include "components/UninstallKeys.h"
#include "components/unzip/Unzipper.h"
#include "platform/TextCompare.h"

using platform::Machine;

namespace components {

namespace {

namespace rt = products::runtime;

// ---- Shared steps -----------------------------------------------------------------------------------------

void showMessage(const OperationContext& context, const char* text) {
    context.ui.messageBox(text, apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None, true);
}

void debugLine(Machine& machine, const std::string& method, const std::string& message) {
    machine.debug.write("dvInstallManagerBase::" + method + " - " + message + "\n");
}

std::string downloadedFile(const dvComponentInfo& record, const std::string& name) {
    return record.downloadFolder() + "\\" + name;
}

// A program path as the first element of its own command line: quoted, so that a folder with blanks in it
// does not split the program's name into arguments.
std::string quoted(const std::string& path) { return "\"" + path + "\""; }

bool makeFolder(Machine& machine, const std::string& path) { return CUnzipper(machine).makeFolder(path); }

bool unpackWithWaitBox(const OperationContext& context, const std::string& archive, const std::string& folder) {
    std::unique_ptr<PleaseWaitBox> box = context.dialogs.pleaseWait();
    return extractArchive(context.machine, archive, folder);
}

// Puts source in place of target (a read-only old copy included); true when target is there afterwards.
bool replaceFile(Machine& machine, const std::string& source, const std::string& target) {
    if (!deleteFileIfPresent(machine, target)) return false;
    if (!machine.files.copyFile(source, target, false)) return false;
    return fileExists(machine, target);
}

// The local time as 14 digits, naming a setup package's unpack folder.
std::string timeStamp(Machine& machine) {
    const platform::LocalDateTime now = machine.clock.localNow();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%.4d%.2d%.2d%.2d%.2d%.2d", now.year, now.month, now.day, now.hour,
                  now.minute, now.second);
    return stamp;
}

// A folder a setup package is unpacked into for the time its setup runs. A leftover of the same name (an
// earlier run in the same second) is cleared first; the folder is gone again on every way out.
class UnpackFolder {
public:
    UnpackFolder(Machine& machine, std::string path) : machine_(machine), path_(std::move(path)) {
        if (fileExists(machine_, path_)) deleteFolderTree(machine_, path_, path_);
        makeFolder(machine_, path_);
    }
    ~UnpackFolder() { remove(); }
    UnpackFolder(const UnpackFolder&) = delete;
    UnpackFolder& operator=(const UnpackFolder&) = delete;

    const std::string& path() const { return path_; }
    void remove() {
        if (removed_) return;
        removed_ = true;
        deleteFolderTree(machine_, path_, path_);
    }

private:
    Machine& machine_;
    std::string path_;
    bool removed_ = false;
};

// ---- Modules unpacked below the Runtime folder --------------------------------------------------------------

struct RuntimeModule {
    const char* archive;
    const char* folder;     // below the Runtime folder
    const char* pathEntry;  // put on the PATH, below the Runtime folder
    const char* extractFailed;
    bool bringsCv2Binding;  // Python\cv2.pyd in the archive becomes the Runtime's binding
};

constexpr RuntimeModule OpenCV231Module{"OpenCV2.3.1_build_x86_vc10_bin.zip", "OpenCV23", "OpenCv23",
                                        moduletexts::UnableToExtractOpenCV231, false};
constexpr RuntimeModule OpenCV246Module{"opencv-246_bin.zip", "OpenCV246", "OpenCV246",
                                        moduletexts::UnableToExtractOpenCV246, true};
constexpr RuntimeModule OpenCV248Module{"opencv-248_bin_Py2.6_Num1.8.0_Sci0.13.2.zip", "OpenCV248", "OpenCV248",
                                        moduletexts::UnableToExtractOpenCV248, true};
constexpr RuntimeModule IppModule{"Orvanta_9.3.0.524_IPP.zip", "IPP924", "IPP924", moduletexts::UnableToExtractIpp,
                                  false};

std::string runtimeBinding(const std::string& runtime) {
    return runtime + rt::PythonFolder + "\\" + rt::Cv2Binding;
}

bool unpackRuntimeModule(const OperationContext& context, const dvComponentInfo& record,
                         const RuntimeModule& module) {
    Machine& machine = context.machine;
    const std::string archive = downloadedFile(record, module.archive);
    if (!fileExists(machine, archive)) return false;
    auto runtime = getRuntimeFolder(machine);
    if (!runtime) return false;

    const std::string target = *runtime + module.folder;
    makeFolder(machine, target);
    if (!unpackWithWaitBox(context, archive, target)) {
        showMessage(context, module.extractFailed);
        return false;
    }

    // Once unpacked the module stays, and so does its PATH entry, even when the binding cannot follow.
    const bool onPath = addToSystemPath(machine, *runtime + module.pathEntry);
    if (!module.bringsCv2Binding) return onPath;

    const std::string binding = target + "\\" + rt::PythonFolder + "\\" + rt::Cv2Binding;
    if (!fileExists(machine, binding)) return false;
    if (!replaceFile(machine, binding, runtimeBinding(*runtime))) return false;
    return onPath;
}

bool addRuntimeModuleToPath(Machine& machine, const RuntimeModule& module) {
    auto runtime = getRuntimeFolder(machine);
    return runtime && addToSystemPath(machine, *runtime + module.pathEntry);
}

// ---- Tavrel ----------------------------------------------------------------------------------------------

// Below the common Programs folder.
constexpr const char* TavrelProgramsGroup = "Dalvoren Software Solutions";
constexpr const char* TavrelProgramsFolder = "Tavrel";
// Below the Tavrel folder.
constexpr const char* TavrelGuiFolder = "gui";
constexpr const char* TavrelGuiProgram = "Tavrel.gui.exe";

// Exactly the version text, without a line end: the status check compares the file's first line with it.
bool writeTavrelVersionFile(Machine& machine, const std::string& tavrel) {
    const std::string path = tavrel + "\\" + TavrelVersionFile;
    deleteFileIfPresent(machine, path);
    auto file = machine.files.open(path, platform::Access::Write, platform::Disposition::CreateAlways);
    if (!file) return false;
    const std::string version = TavrelVersion;
    const bool written = file->write(version.data(), version.size());
    return file->close() && written;
}

std::string tavrelProgramsFolder(const std::string& programs) {
    return programs + "\\" + TavrelProgramsGroup + "\\" + TavrelProgramsFolder;
}

bool setUpTavrel(const OperationContext& context, const dvComponentInfo& record) {
    Machine& machine = context.machine;
    const std::string archive = downloadedFile(record, record.fileName());
    if (!fileExists(machine, archive)) {
        showMessage(context, moduletexts::UnableToLocateDownload);
        return false;
    }
    auto tavrel = tavrelFolder(machine);
    if (!tavrel) {
        showMessage(context, moduletexts::UnableToLocateTargetFolder);
        return false;
    }
    makeFolder(machine, *tavrel);
    if (!extractArchive(machine, archive, *tavrel)) {
        showMessage(context, moduletexts::UnableToExtractTavrel);
        return false;
    }
    if (!writeTavrelVersionFile(machine, *tavrel)) {
        showMessage(context, moduletexts::UnableToCreateVersionFile);
        return false;
    }

    // The controller works without its shortcuts, so a shortcut that cannot be made fails nothing.
    const std::string gui = *tavrel + "\\" + TavrelGuiFolder;
    const std::string program = gui + "\\" + TavrelGuiProgram;
    if (auto desktop = getCommonDesktopFolder(machine)) createShortcut(machine, *desktop, program, gui);
    if (auto programs = getCommonProgramsFolder(machine)) {
        const std::string folder = tavrelProgramsFolder(*programs);
        makeFolder(machine, folder);
        createShortcut(machine, folder, program, gui);
    }
    return true;
}

// Every file in folder that matches the shortcut's name.
void deleteTavrelLinks(Machine& machine, const std::string& folder) {
    auto matches = machine.files.find(tavrelLinkPath(folder));
    if (!matches) return;
    for (const platform::FindEntry& match : *matches)
        if (!match.isFolder()) deleteFileIfPresent(machine, folder + "\\" + match.name);
}

// ---- Setup packages unpacked into the data folder -------------------------------------------------------------

constexpr const char* OpcScoutArchive = "SIMATIC_NET_OPC_Client_V6.2_3133.zip";
constexpr const char* OpcScoutDisk = "disk1";
constexpr const char* OpcScoutSetup = "setup.exe";
// The setup's clean-up program: once it has run and ended, the setup is done with the unpacked files.
constexpr const char* OpcScoutCleanUp = "_isdel.exe";

bool setUpOpcScout(const OperationContext& context, const dvComponentInfo& record) {
    Machine& machine = context.machine;
    const std::string archive = downloadedFile(record, OpcScoutArchive);
    if (!fileExists(machine, archive)) return false;

    UnpackFolder unpack(machine, context.dataFolder() + "\\" + datafolders::Utilities + "\\" + timeStamp(machine));
    std::unique_ptr<PleaseWaitBox> box = context.dialogs.pleaseWait();
    if (!extractArchive(machine, archive, unpack.path())) {
        box.reset();
        unpack.remove();
        showMessage(context, moduletexts::UnableToExtractOpcScout);
        return false;
    }
    const std::string disk = unpack.path() + "\\" + OpcScoutDisk;
    const std::string setup = disk + "\\" + OpcScoutSetup;
    if (!fileExists(machine, setup)) {
        box.reset();
        unpack.remove();
        showMessage(context, moduletexts::UnableToLocateOpcScoutSetup);
        return false;
    }
    // The setup hands over to further processes of its own; what tells that it is done is its clean-up
    // program, watched by the wait box below. Its handle is of no use and is let go at once.
    if (!machine.processes.start(setup, quoted(setup) + " " + record.installArguments())) {
        // Nothing will run the clean-up program: no wait. The box and the folder go with this scope.
        debugLine(machine, "processDownloadedPackage", "Unable to start " + setup);
        return false;
    }
    box.reset();
    context.dialogs.waitForProgram(disk + "\\" + OpcScoutCleanUp);
    unpack.remove();
    return true;
}

constexpr const char* ImagingSourceArchive = "usbcam_2.6.5_tis_02.zip";
constexpr const char* ImagingSourceInstaller = "drvInstaller.exe";

bool setUpImagingSourceDriver(const OperationContext& context, const dvComponentInfo& record) {
    Machine& machine = context.machine;
    const std::string archive = downloadedFile(record, ImagingSourceArchive);
    if (!fileExists(machine, archive)) return false;

    UnpackFolder unpack(machine, context.dataFolder() + "\\" + datafolders::Installations3rdParty + "\\" +
                                     timeStamp(machine));
    std::unique_ptr<PleaseWaitBox> box = context.dialogs.pleaseWait();
    const std::string installer = unpack.path() + "\\" + ImagingSourceInstaller;
    if (!extractArchive(machine, archive, unpack.path()) || !fileExists(machine, installer)) {
        unpack.remove();
        box.reset();
        showMessage(context, moduletexts::UnableToExtractImagingSourceDriver);
        return false;
    }
    // The driver installer is run with one empty argument, as the C run time's spawn passes it.
    auto process = machine.processes.start(installer, quoted(installer) + " ");
    if (!process) {
        debugLine(machine, "processDownloadedPackage", "Unable to start " + installer);
        return false;
    }
    process->wait(UINT32_MAX);
    box.reset();
    unpack.remove();
    return true;
}

// ---- Orvanta Plexor --------------------------------------------------------------------------------------

constexpr std::size_t PlexorInstallPathChars = 260;
constexpr const char* PlexorModuleName = "plexorx.py";

// Copies the client's Python module into the Runtime's Python folder; false at the first step that fails.
bool copyPlexorModule(Machine& machine) {
    auto runtime = getRuntimeFolder(machine);
    if (!runtime) return false;
    const std::string key = products::installPathKey(products::PlexorClient.displayName);
    if (!machine.registry.keyExists(platform::Hive::LocalMachine, key)) return false;
    auto client = machine.registry.readValue(platform::Hive::LocalMachine, key, products::InstallPathValue,
                                             PlexorInstallPathChars);
    // Without its folder the source would be looked for relative to whatever folder is current.
    if (!client || client->text().empty()) return false;

    const std::string pythonFolder = *runtime + rt::PythonFolder;
    if (!fileExists(machine, pythonFolder)) return false;
    const std::string source = client->text() + products::client::PlexorModule;
    if (!fileExists(machine, source)) return false;
    return replaceFile(machine, source, pythonFolder + "\\" + PlexorModuleName);
}

bool setUpPlexor(const OperationContext& context, const dvComponentInfo&) {
    // Not registered: its installer did not finish, and that is the install's failure.
    if (!msiRegistered(context.machine, products::PlexorClient.productCode)) return false;
    // The client itself is installed; without the module only the Runtime's Python cannot reach it.
    if (!copyPlexorModule(context.machine)) showMessage(context, moduletexts::UnableToCopyPlexorModule);
    return true;
}

// ---- OpenCV 1.1 ------------------------------------------------------------------------------------------

// Its own setup program records where it went but leaves its libraries off the PATH.
bool addOpenCV11ToPath(Machine& machine) {
    auto location = uninstallValue(machine, uninstallkeys::OpenCV11, "InstallLocation");
    if (!location) return false;
    std::string folder = *location;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return addToSystemPath(machine, folder + "\\bin");
}

// ---- Rule tables ------------------------------------------------------------------------------------------

using OperationRule = bool (*)(const OperationContext&, const dvComponentInfo&);

struct NamedRule {
    const char* displayName;
    OperationRule rule;
};

// After the download-and-install dialog: what is done with the downloaded file. Other names: nothing.
// clang-format off
const NamedRule DownloadedPackageRules[] = {
    {"OpenCV 2.3.1",          [](const OperationContext& c, const dvComponentInfo& r) { return unpackRuntimeModule(c, r, OpenCV231Module); }},
    {"OpenCV 2.4.6",          [](const OperationContext& c, const dvComponentInfo& r) { return unpackRuntimeModule(c, r, OpenCV246Module); }},
    {"OpenCV 2.4.8",          [](const OperationContext& c, const dvComponentInfo& r) { return unpackRuntimeModule(c, r, OpenCV248Module); }},
    {"Orvanta 9.3.0.524 IPP", [](const OperationContext& c, const dvComponentInfo& r) { return unpackRuntimeModule(c, r, IppModule); }},
    {"Tavrel 1.0.0.1(3587)",  setUpTavrel},
    {"OPC Scout (SIMATIC NET OPC-Client V6.2-3133)", setUpOpcScout},
    {"Orvanta Plexor 1.9.0.24",                      setUpPlexor},
    {"Imaging Source Camera Driver",                 setUpImagingSourceDriver},
};

// After a successful install: the configuration the component's installer leaves undone. Other names:
// nothing.
const NamedRule CustomActionRules[] = {
    {"pywin32-218.win32-py2.6", [](const OperationContext& c, const dvComponentInfo&) { return setPythonPaths(c.machine, c.ui); }},
    {"OpenCV_1.1pre1a",         [](const OperationContext& c, const dvComponentInfo&) { return addOpenCV11ToPath(c.machine); }},
    {"OpenCV 2.3.1",            [](const OperationContext& c, const dvComponentInfo&) { return addRuntimeModuleToPath(c.machine, OpenCV231Module); }},
    {"OpenCV 2.4.6",            [](const OperationContext& c, const dvComponentInfo&) { return addRuntimeModuleToPath(c.machine, OpenCV246Module); }},
    {"OpenCV 2.4.8",            [](const OperationContext& c, const dvComponentInfo&) { return addRuntimeModuleToPath(c.machine, OpenCV248Module); }},
};
// clang-format on

template <std::size_t N>
bool runRule(const NamedRule (&rules)[N], const OperationContext& context, const dvComponentInfo& record) {
    for (const NamedRule& entry : rules)
        if (text::equalsIgnoringCase(entry.displayName, record.displayName())) return entry.rule(context, record);
    return true;
}

// ---- Removals ---------------------------------------------------------------------------------------------

// A folder whose removal left something behind is not removed.
bool removeRuntimeItem(Machine& machine, const std::string& item) {
    auto runtime = getRuntimeFolder(machine);
    if (!runtime) return false;
    const std::string folder = *runtime + item;
    deleteFolderTree(machine, folder, folder);
    return !fileExists(machine, folder);
}

// The binding of OpenCV 2.4.3 and older works with every build the Runtime may still hold; it takes over
// again when a newer build goes.
bool restoreOlderCv2Binding(Machine& machine) {
    auto runtime = getRuntimeFolder(machine);
    if (!runtime) return false;
    const std::string older =
        *runtime + rt::PythonFolder + "\\" + rt::OlderCv2BindingFolder + "\\" + rt::Cv2Binding;
    if (!fileExists(machine, older)) return false;
    return replaceFile(machine, older, runtimeBinding(*runtime));
}

// OpenCV 2.4.<minor>; from 2.4.4 on the builds brought their own binding.
bool removeOpenCV24(Machine& machine, int minor) {
    const bool removed = removeRuntimeItem(machine, "OpenCV24" + std::to_string(minor));
    if (minor <= 3) return removed;
    const bool restored = restoreOlderCv2Binding(machine);
    return removed && restored;
}

bool removeTavrel(Machine& machine) {
    if (auto desktop = getCommonDesktopFolder(machine)) deleteTavrelLinks(machine, *desktop);
    if (auto programs = getCommonProgramsFolder(machine)) {
        // The group folder above may hold other Dalvoren programs and stays.
        const std::string folder = tavrelProgramsFolder(*programs);
        if (fileExists(machine, folder)) {
            deleteTavrelLinks(machine, folder);
            deleteFolderTree(machine, folder, folder);
            machine.files.removeFolder(folder);
        }
    }
    auto tavrel = tavrelFolder(machine);
    if (!tavrel) return false;
    deleteFolderTree(machine, *tavrel, *tavrel);
    return !fileExists(machine, *tavrel);
}

struct ModuleRemoval {
    const char* displayName;
    bool (*remove)(Machine&);
};

// clang-format off
const ModuleRemoval ModuleRemovals[] = {
    {"Orvanta 9.3.0.524 IPP", [](Machine& m) { return removeRuntimeItem(m, "IPP924"); }},
    {"OpenCV 2.3.1",          [](Machine& m) { return removeRuntimeItem(m, "OpenCV23"); }},
    {"OpenCV 2.4.6",          [](Machine& m) {
        // The row stands for every 2.4 build before 2.4.8: the older ones go with it, only its own counts.
        for (int minor : {2, 3, 4, 5}) removeOpenCV24(m, minor);
        return removeOpenCV24(m, 6);
    }},
    {"OpenCV 2.4.8",          [](Machine& m) { return removeOpenCV24(m, 8); }},
    {"Tavrel 1.0.0.1(3587)",  removeTavrel},
};
// clang-format on

}  // namespace

bool processDownloadedPackage(const OperationContext& context, const dvComponentInfo& record) {
    return runRule(DownloadedPackageRules, context, record);
}

bool runCustomActions(const OperationContext& context, const dvComponentInfo& record) {
    return runRule(CustomActionRules, context, record);
}

std::optional<bool> removePackagedModule(Machine& machine, const std::string& displayName) {
    for (const ModuleRemoval& removal : ModuleRemovals)
        if (text::equalsIgnoringCase(removal.displayName, displayName)) return removal.remove(machine);
    return std::nullopt;
}

}  // namespace components
