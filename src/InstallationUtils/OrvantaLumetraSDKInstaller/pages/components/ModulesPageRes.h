// Identifiers of the Modules page (range 3700-3749).
#pragma once

#define IDD_MODULES 3700
#define IDC_MODULES_HEADING 3701
