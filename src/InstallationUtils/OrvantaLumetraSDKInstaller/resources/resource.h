// Identifiers of the program's resources.
#pragma once

#define IDR_MANIFEST 1
#define IDD_WIZARD_PLACEHOLDER 1000
