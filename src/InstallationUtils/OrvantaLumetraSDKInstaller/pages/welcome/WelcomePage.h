// The start page.
#pragma once

#include "wizard/LayoutOnlyPage.h"

class ovDInstallWelcomeBase : public wizard::LayoutOnlyPage {
public:
    ovDInstallWelcomeBase(wizard::PageEnvironment& environment, std::string title);
};
