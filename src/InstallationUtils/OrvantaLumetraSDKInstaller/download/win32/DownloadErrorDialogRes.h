// Identifiers of the download error dialog (range 2120-2139, see resources/resource.h).
#pragma once

#define IDD_DOWNLOAD_ERROR 2120
#define IDC_DLERR_MESSAGE 2121
#define IDC_DLERR_RETRY 2122
#define IDC_DLERR_IGNORE 2123
#define IDC_DLERR_IGNORE_ALL 2124
#define IDC_DLERR_QUIT 2125
