// Identifiers of the program's resources.
//
// Each page and dialog owns one range and defines its identifiers in its own *Res.h beside its code:
//   1000-1099  wizard (placeholder page)
//   2100-2119  download/win32/DownloadAndInstallDialogRes.h
//   2120-2139  download/win32/DownloadErrorDialogRes.h
//   2140-2159  download/win32/UninstallDialogRes.h
//   2160-2179  download/win32/PleaseWaitDialogRes.h (both "Please wait..." boxes)
#pragma once

#define IDR_MANIFEST 1
#define IDD_WIZARD_PLACEHOLDER 1000

// The band of the progress dialogs' drawn header (500 x 70).
#define IDB_COMPONENT_INSTALL_HEADER 138
