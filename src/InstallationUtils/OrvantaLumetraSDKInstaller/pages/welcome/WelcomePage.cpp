#include "pages/welcome/WelcomePage.h"

#include "pages/welcome/WelcomePageRes.h"
#include "platform/TextFormat.h"
#include "wizard/WizardTexts.h"

ovDInstallWelcomeBase::ovDInstallWelcomeBase(wizard::PageEnvironment& environment, std::string title)
    : LayoutOnlyPage(environment, IDD_WELCOME, std::move(title),
                     text::format(wizardtexts::WelcomeHeader, wizardtexts::SdkDisplayName), wizardtexts::WelcomePageName, true,
                     wizardtexts::Cancel) {}
