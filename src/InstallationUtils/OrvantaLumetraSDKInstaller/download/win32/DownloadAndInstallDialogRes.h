// Identifiers of the download-and-install dialog (range 2100-2119, see resources/resource.h).
#pragma once

#define IDD_DOWNLOAD_AND_INSTALL 2100
#define IDC_DAI_STATUS 2101
#define IDC_DAI_SIZE 2102
#define IDC_DAI_INSTALL 2103
#define IDC_DAI_PROGRESS 2104
