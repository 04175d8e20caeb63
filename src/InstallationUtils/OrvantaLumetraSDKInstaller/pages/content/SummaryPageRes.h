// Identifiers of the Summary page (range 3650-3699).
#pragma once

#define IDD_SUMMARY 3650
#define IDC_SUMMARY_HEADING 3651
