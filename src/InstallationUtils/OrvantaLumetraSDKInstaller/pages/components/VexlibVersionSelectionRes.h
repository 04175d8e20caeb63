// Identifiers of the Vexlib version selection dialog (3720-3749, inside the modules page's range). Select is
// IDOK and Cancel IDCANCEL.
#pragma once

#define IDD_VEXLIB_VERSION_SELECTION 3720
#define IDC_VEXLIB_VC8 3721
#define IDC_VEXLIB_INTEL 3722
#define IDC_VEXLIB_VC8_IPP 3723
#define IDC_VEXLIB_INTEL_IPP 3724
#define IDC_VEXLIB_BETA 3725
#define IDC_VEXLIB_NOTES 3726
