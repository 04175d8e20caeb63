// Identifiers of the new-version dialog (range 2200-2219, see resources/resource.h).
#pragma once

#define IDD_NEW_VERSION_AVAILABLE 2200
#define IDC_NEWVER_INTRO 2201
#define IDC_NEWVER_CURRENT_LABEL 2202
#define IDC_NEWVER_CURRENT 2203
#define IDC_NEWVER_NEW_LABEL 2204
#define IDC_NEWVER_NEW 2205
#define IDC_NEWVER_NOTES_LABEL 2206
#define IDC_NEWVER_NOTES 2207
