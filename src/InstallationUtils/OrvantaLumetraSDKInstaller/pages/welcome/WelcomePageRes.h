// Identifiers of the Welcome page (range 3400-3449).
#pragma once

#define IDD_WELCOME 3400
#define IDC_WELCOME_HEADING 3401
