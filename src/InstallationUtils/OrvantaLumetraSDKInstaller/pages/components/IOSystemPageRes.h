// Identifiers of the IOSystem page (range 3800-3849).
#pragma once

#define IDD_IO_SYSTEM 3800
#define IDC_IO_SYSTEM_HEADING 3801
