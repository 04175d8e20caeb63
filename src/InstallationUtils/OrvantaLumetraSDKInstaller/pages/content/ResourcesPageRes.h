// Identifiers of the Resources page (range 3500-3549).
#pragma once

#define IDD_RESOURCES 3500
#define IDC_RESOURCES_HEADING 3501
