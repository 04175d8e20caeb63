// Identifiers of the Tutorials page (range 3600-3649).
#pragma once

#define IDD_TUTORIALS 3600
#define IDC_TUTORIALS_HEADING 3601
