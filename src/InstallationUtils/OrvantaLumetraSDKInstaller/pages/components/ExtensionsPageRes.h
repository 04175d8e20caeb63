// Identifiers of the Extensions page (range 3550-3599).
#pragma once

#define IDD_EXTENSIONS 3550
#define IDC_EXTENSIONS_HEADING 3551
