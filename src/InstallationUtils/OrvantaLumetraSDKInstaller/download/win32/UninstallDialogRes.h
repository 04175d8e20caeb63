// Identifiers of the uninstall dialog (range 2140-2159, see resources/resource.h).
#pragma once

#define IDD_UNINSTALL 2140
#define IDC_UNI_TEXT 2141
#define IDC_UNI_PROGRESS 2142
