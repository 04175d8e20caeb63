// Identifiers of the wizard sheet's own controls (range 1000-1099).
#pragma once

#define IDC_NAV_HOME 1001
#define IDC_NAV_EXTENSIONS 1002
#define IDC_NAV_MODULES 1003
