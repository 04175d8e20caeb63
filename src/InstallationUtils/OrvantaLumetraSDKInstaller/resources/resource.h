// Identifiers of the program's resources.
//
// Each page and dialog owns one range and defines its identifiers in its own *Res.h beside its code:
//   1000-1099  wizard/WizardRes.h (the sheet's navigation buttons)
//   1100-1119  wizard/win32/HelpViewerRes.h (the help viewer)
//   2100-2119  download/win32/DownloadAndInstallDialogRes.h
//   2120-2139  download/win32/DownloadErrorDialogRes.h
//   2140-2159  download/win32/UninstallDialogRes.h
//   2160-2179  download/win32/PleaseWaitDialogRes.h (both "Please wait..." boxes)
//   2180-2199  versions/win32/SelectInstallerComponentsRes.h
//   2200-2219  versions/win32/NewVersionAvailableRes.h
//   3100-3199  pages/components/PreRequisitesPagesRes.h
//   3200-3299  pages/components/CoreComponentsPageRes.h
//   3300-3399  pages/components/UtilitiesPagesRes.h
//   3400-3449  pages/welcome/WelcomePageRes.h
//   3450-3499  pages/content/ReleaseNotesPageRes.h
//   3500-3549  pages/content/ResourcesPageRes.h
//   3550-3599  pages/components/ExtensionsPageRes.h
//   3600-3649  pages/content/TutorialsPageRes.h
//   3650-3699  pages/content/SummaryPageRes.h
//   3700-3749  pages/components/ModulesPageRes.h (3720-3749: VexlibVersionSelectionRes.h, its variant dialog)
//   3750-3799  pages/components/ThirdPartyPageRes.h
//   3800-3849  pages/components/IOSystemPageRes.h
#pragma once

#define IDR_MANIFEST 1

// The band of the progress dialogs' drawn header (500 x 70).
#define IDB_COMPONENT_INSTALL_HEADER 138

// Artwork of the drawn controls (tools/artwork/make-artwork.sh makes the files under images/).
//   139-140  bitmaps of the pages' banner (760 x 70) and side strip (165 x 420)
//   196-208  "PNG" resources of the image buttons and image statics
#define IDB_PAGE_BANNER 139
#define IDB_PAGE_SIDE 140
#define IDP_NEW 196       // the "NEW" badge (32 x 16)
#define IDP_INSTALL 201   // row Install buttons (24 x 24)
#define IDP_REMOVE 202    // row Uninstall buttons (24 x 24)
#define IDP_DOWNLOAD 203  // the pages' download button (32 x 32)
#define IDP_CHANGE 204    // change or select a variant (24 x 24)
#define IDP_INFO 206      // the info image of dvImageStatic (24 x 24)
#define IDP_BROWSE 208    // the welcome page's "Browse Installer Files" button (32 x 32)
// The content pages' row buttons and the resources page's default picture.
#define IDP_ROW_BROWSE 210        // open a tutorial's folder (24 x 24)
#define IDP_ROW_PDF 211           // open a tutorial's document (24 x 24)
#define IDP_ROW_VIDEO 212         // open a tutorial's video (24 x 24)
#define IDP_RESOURCE_PICTURE 213  // a resource without a picture of its own (64 x 64)
