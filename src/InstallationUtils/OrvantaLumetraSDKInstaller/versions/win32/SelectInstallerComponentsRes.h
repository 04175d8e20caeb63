// Identifiers of the installer-copy selection dialog (range 2180-2199, see resources/resource.h).
#pragma once

#define IDD_SELECT_INSTALLER_COMPONENTS 2180
#define IDC_SELECT_INSTRUCTION 2181
#define IDC_SELECT_TREE 2182
