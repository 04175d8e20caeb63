// Identifiers of the two "Please wait..." boxes (range 2160-2179, see resources/resource.h).
#pragma once

#define IDD_PLEASE_WAIT 2160
#define IDC_PLEASE_WAIT_TEXT 2161
#define IDD_OPC_SCOUT_WAIT 2162
#define IDC_OPC_SCOUT_WAIT_TEXT 2163
