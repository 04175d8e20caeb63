// The readme page: the release's readme notes, a rich-text file fetched from the vendor server into the data
// folder like a content list and shown read-only; Refresh fetches it afresh.
#pragma once

#include <string>

#include "wizard/PropertyPageBase.h"

class ovDInstallReleaseNotes : public wizard::ovDPropertyPageBase {
public:
    ovDInstallReleaseNotes(wizard::PageEnvironment& environment, std::string title);

    // The most a readme can show: a larger file is shown up to here, so a hostile download cannot make the
    // page read without end.
    static constexpr long long MaxShownBytes = 8LL * 1024 * 1024;

    bool isPageSkipped() override { return false; }
    void updateControls() override {}
    void initControls() override;
    void onInitDialog() override;
    bool onSetActive() override;
    void onCommand(int controlId) override;

    // Downloads the readme as far as the flags ask (forceDownload: afresh; otherwise a copy on disk stays), then
    // shows the file on disk: 1 when there was one to show, 0 when the error text is shown instead.
    int refreshList(bool forceDownload, bool reportErrors);
    std::string readmePath();

private:
    // The readme record's labels: never shown.
    std::string name_, status_, action_;
    std::string statusLine_;
};
