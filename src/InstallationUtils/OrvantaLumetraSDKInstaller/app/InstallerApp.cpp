#include "app/InstallerApp.h"

#include "app/AppTexts.h"
#include "app/FileUtils.h"
#include "app/RunLogTexts.h"
#include "platform/TextCompare.h"

using namespace platform;

namespace {

constexpr std::size_t MaxProcessIds = 1024;

}  // namespace

COrvantaLumetraSDKInstallerApp::COrvantaLumetraSDKInstallerApp(Machine& machine, ui::UserInterface& ui,
                                                               ApplicationShell& shell)
    : debug_(machine.debug),
      machine_{machine.registry, machine.msi,   machine.files,  machine.processes, machine.environment, machine.http,
               machine.clock,    debug_,        machine.profile, machine.versions, machine.links},
      ui_(ui),
      shell_(shell) {
    if (auto path = machine_.environment.executablePath()) {
        appFolder_ = folderOfPath(*path);
    } else {
        ui_.messageBox(apptexts::UnableToGetAppPath, apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None,
                       false);
    }
    folderWritable_ = writeTest(machine_, appFolder_);
    log_ = runlog::RunLog::open(machine_, appFolder_, folderWritable_);
    runlog::setCurrent(log_.get());
    logStart();
    graphicsToken_ = shell_.startGraphics();
}

COrvantaLumetraSDKInstallerApp::~COrvantaLumetraSDKInstallerApp() {
    if (!exited_) ExitInstance();
}

void COrvantaLumetraSDKInstallerApp::logStart() {
    namespace texts = runlogtexts;
    runlog::line(texts::Started);
    runlog::line(std::string(texts::Folder) + (appFolder_.empty() ? std::string(texts::FolderUnknown) : appFolder_));
    runlog::line(std::string(texts::Writable) + (folderWritable_ ? texts::Yes : texts::No));
    std::string version = texts::WindowsVersionUnknown;
    if (auto v = machine_.environment.windowsVersion()) {
        version = std::to_string(v->major) + "." + std::to_string(v->minor) + "." + std::to_string(v->build);
        if (!v->servicePack.empty()) version += " " + v->servicePack;
    }
    runlog::line(texts::WindowsVersion + version);
    const uint16_t architecture = machine_.environment.nativeArchitecture();
    const char* name = architecture == arch::Amd64   ? texts::ArchX64
                       : architecture == arch::Intel ? texts::ArchX86
                                                     : texts::ArchUnknown;
    runlog::line(std::string(texts::Architecture) + name);
}

std::string COrvantaLumetraSDKInstallerApp::folderOfPath(const std::string& path) {
    std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(0, cut);
}

bool COrvantaLumetraSDKInstallerApp::writeTest(Machine& machine, const std::string& folder) {
    // Without a folder the test file would land at the root of the current drive, created and deleted there with
    // administrator rights: a folder the program does not know is never written to.
    if (folder.empty()) return false;
    const std::string testFile = folder + "\\testFile.txt";
    // A file left over from an earlier run (even read-only) must not decide the test.
    deleteFileIfPresent(machine, testFile);
    bool created = false;
    if (auto file = machine.files.open(testFile, Access::ReadWrite, Disposition::OpenAlways)) {
        created = true;
        file->close();
    }
    deleteFileIfPresent(machine, testFile);
    return created;
}

int COrvantaLumetraSDKInstallerApp::countInstances() {
    auto processes = machine_.processes.list(MaxProcessIds);
    if (!processes) return 0;
    int count = 0;
    for (const ProcessEntry& p : *processes)
        if (p.id != 0 && text::equalsIgnoringCase(p.baseName, apptexts::ReleaseFileName)) ++count;
    return count;
}

bool COrvantaLumetraSDKInstallerApp::InitInstance() {
    shell_.registerControlClasses();
    if (countInstances() >= 2) {
        ui_.messageBox(apptexts::AnotherInstanceRunning, apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None,
                       false);
        return false;
    }
    shell_.runWizard();
    return false;
}

int COrvantaLumetraSDKInstallerApp::ExitInstance() {
    if (exited_) return 0;
    exited_ = true;
    shell_.stopGraphics(graphicsToken_);
    graphicsToken_ = 0;
    runlog::line(runlogtexts::Ended);
    log_.reset();
    return 0;
}
