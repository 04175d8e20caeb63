// Identifiers of the help viewer (range 1100-1119).
#pragma once

#define IDD_HELP 1100
// The viewer's initial document, an HTML resource.
#define IDR_HELP_INITIAL_DOCUMENT 1101
