// The extensions, modules, camera-driver and IO pages, shown with their layout's fixed texts.
#pragma once

#include "wizard/LayoutOnlyPage.h"

class ovDInstallExtensions : public wizard::LayoutOnlyPage {
public:
    ovDInstallExtensions(wizard::PageEnvironment& environment, std::string title);
};

class ovDInstallModules : public wizard::LayoutOnlyPage {
public:
    ovDInstallModules(wizard::PageEnvironment& environment, std::string title);
};

class ovDInstall3rdPartyInstallations : public wizard::LayoutOnlyPage {
public:
    ovDInstall3rdPartyInstallations(wizard::PageEnvironment& environment, std::string title);
};

class ovDInstallIOSystemInstallations : public wizard::LayoutOnlyPage {
public:
    ovDInstallIOSystemInstallations(wizard::PageEnvironment& environment, std::string title);
};
