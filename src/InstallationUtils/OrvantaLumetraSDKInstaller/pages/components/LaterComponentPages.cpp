#include "pages/components/LaterComponentPages.h"

#include "pages/components/ComponentPageTexts.h"
#include "pages/components/ExtensionsPageRes.h"
#include "pages/components/IOSystemPageRes.h"
#include "pages/components/ModulesPageRes.h"
#include "pages/components/ThirdPartyPageRes.h"
#include "wizard/WizardTexts.h"

ovDInstallExtensions::ovDInstallExtensions(wizard::PageEnvironment& environment, std::string title)
    : LayoutOnlyPage(environment, IDD_EXTENSIONS, std::move(title), pagetexts::ExtensionsHeader,
                     pagetexts::ExtensionsName, false, wizardtexts::Finish) {}

ovDInstallModules::ovDInstallModules(wizard::PageEnvironment& environment, std::string title)
    : LayoutOnlyPage(environment, IDD_MODULES, std::move(title), pagetexts::ModulesHeader, pagetexts::ModulesName,
                     false, wizardtexts::Finish) {}

ovDInstall3rdPartyInstallations::ovDInstall3rdPartyInstallations(wizard::PageEnvironment& environment,
                                                                 std::string title)
    : LayoutOnlyPage(environment, IDD_THIRD_PARTY, std::move(title), pagetexts::ThirdPartyHeader,
                     pagetexts::ThirdPartyName, false, wizardtexts::Finish) {}

ovDInstallIOSystemInstallations::ovDInstallIOSystemInstallations(wizard::PageEnvironment& environment,
                                                                 std::string title)
    : LayoutOnlyPage(environment, IDD_IO_SYSTEM, std::move(title), pagetexts::IOSystemHeader,
                     pagetexts::IOSystemName, false, wizardtexts::Finish) {}
