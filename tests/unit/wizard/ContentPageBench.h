// What the tutorials and resources page tests share: a page bench whose window has category tabs, and a
// download server stand-in that serves files by address (or is down).
#pragma once

#include <map>
#include <memory>
#include <string>

#include "PageFixture.h"
#include "RecordingContentView.h"

namespace contenttest {

inline constexpr char AppFolder[] = "C:\\Installer";
inline constexpr char TutorialsData[] = "C:\\Installer\\_OrvantaInstallData\\Tutorials";
inline constexpr char ResourcesData[] = "C:\\Installer\\_OrvantaInstallData\\Resources";
inline constexpr char TutorialsList[] = "C:\\Installer\\_OrvantaInstallData\\Tutorials\\578Lumetratutorials.ini.txt";
inline constexpr char ResourcesList[] = "C:\\Installer\\_OrvantaInstallData\\Resources\\578resorces.ini.txt";
inline constexpr char TutorialsListUrl[] =
    "http://vendor/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaLumetraSDK/578Lumetratutorials.ini.txt";
inline constexpr char ResourcesListUrl[] =
    "http://vendor/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaVisionSoftware/578resorces.ini.txt";
inline constexpr char Documents[] = "C:\\users\\admin\\Documents";
inline constexpr char TutorialsFolder[] = "C:\\users\\admin\\Documents\\Orvanta 10.2\\Tutorials\\";
inline constexpr char ProfilesFolder[] = "C:\\users\\admin\\Documents\\Orvanta 10.2\\Profiles\\";

class ContentBench : public pagetest::PageBench {
public:
    ContentBench() {
        // The download dialog as the page sees it: a file already in its folder stays unless the download is
        // forced; otherwise the server's copy is written there. A server that is down (or lacks the file)
        // ends the dialog without OK and leaves what was there.
        dialogs.onDownloadAndInstall = [this](const dvComponentInfo& record, const components::DownloadRunFlags& f) {
            downloads.push_back(record.downloadUrl());
            const std::string path = record.downloadFolder() + "\\" + record.fileName();
            if (!f.forceDownload && m.files.exists(path)) return components::DialogEnd::Ok;
            auto it = server.find(record.downloadUrl());
            if (serverDown || it == server.end()) return components::DialogEnd::Cancel;
            ++fetched;
            m.files.addFile(path, it->second);
            return components::DialogEnd::Ok;
        };
    }

    template <typename Page>
    std::unique_ptr<Page> openPage() {
        auto page = std::make_unique<Page>(env(), "title");
        page->attachView(&tabsView);
        page->onInitDialog();
        return page;
    }

    std::map<std::string, std::string> server;
    bool serverDown = false;
    int fetched = 0;
    std::vector<std::string> downloads;
    RecordingContentView tabsView;
};

}  // namespace contenttest
