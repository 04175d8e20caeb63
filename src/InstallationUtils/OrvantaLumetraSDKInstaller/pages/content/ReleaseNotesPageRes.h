// Identifiers of the ReleaseNotes page (range 3450-3499).
#pragma once

#define IDD_README 3450
#define IDC_README_HEADING 3451
#define IDC_README_TEXT 3452
#define IDC_README_REFRESH 3453
#define IDC_README_STATUS_LINE 3454
