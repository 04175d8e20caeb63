#include "pages/content/ContentPages.h"

#include "pages/content/ReleaseNotesPageRes.h"
#include "pages/content/ResourcesPageRes.h"
#include "pages/content/SummaryPageRes.h"
#include "pages/content/TutorialsPageRes.h"
#include "wizard/WizardTexts.h"

ovDInstallReleaseNotes::ovDInstallReleaseNotes(wizard::PageEnvironment& environment, std::string title)
    : LayoutOnlyPage(environment, IDD_README, std::move(title), "Readme Notes", "Readme", false,
                     wizardtexts::Cancel) {}

ovDInstallOrvantaResourcesDynamic::ovDInstallOrvantaResourcesDynamic(wizard::PageEnvironment& environment,
                                                                     std::string title)
    : LayoutOnlyPage(environment, IDD_RESOURCES, std::move(title), "Orvanta Vision Resources", "Resources", false,
                     wizardtexts::Cancel) {}

ovDInstallTutorials::ovDInstallTutorials(wizard::PageEnvironment& environment, std::string title)
    : LayoutOnlyPage(environment, IDD_TUTORIALS, std::move(title), "Orvanta Vision Tutorials", "Tutorials", false,
                     wizardtexts::Finish) {}

ovDInstallSummarySDK::ovDInstallSummarySDK(wizard::PageEnvironment& environment, std::string title)
    : LayoutOnlyPage(environment, IDD_SUMMARY, std::move(title), "Installation Complete", "Complete", false,
                     wizardtexts::Finish) {}
