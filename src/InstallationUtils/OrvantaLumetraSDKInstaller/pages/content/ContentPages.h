// The content pages: readme, resources, tutorials and the installation complete page.
#pragma once

#include "wizard/LayoutOnlyPage.h"

class ovDInstallReleaseNotes : public wizard::LayoutOnlyPage {
public:
    ovDInstallReleaseNotes(wizard::PageEnvironment& environment, std::string title);
};

class ovDInstallOrvantaResourcesDynamic : public wizard::LayoutOnlyPage {
public:
    ovDInstallOrvantaResourcesDynamic(wizard::PageEnvironment& environment, std::string title);
};

class ovDInstallTutorials : public wizard::LayoutOnlyPage {
public:
    ovDInstallTutorials(wizard::PageEnvironment& environment, std::string title);
};

class ovDInstallSummarySDK : public wizard::LayoutOnlyPage {
public:
    ovDInstallSummarySDK(wizard::PageEnvironment& environment, std::string title);
};
