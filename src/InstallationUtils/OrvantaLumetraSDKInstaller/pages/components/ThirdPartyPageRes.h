// Identifiers of the ThirdParty page (range 3750-3799).
#pragma once

#define IDD_THIRD_PARTY 3750
#define IDC_THIRD_PARTY_HEADING 3751
