// The pages' tooltips: one tooltip control per page or tab dialog, one tool per control. Tools subclass their
// control (TTF_SUBCLASS), so they work without a message pre-translation hook, inside modal loops too.
#pragma once

#include <windows.h>

#include <string>

// A tooltip control owned by owner: always shown (TTS_ALWAYSTIP), activated, 50 ms initial and reshow delays,
// drawn in font (not owned by the tooltip; the caller keeps it alive). nullptr when it could not be made.
HWND createTooltip(HWND owner, HFONT font);

// Adds control as a tool of tooltip (TTF_IDISHWND | TTF_SUBCLASS) with text. An image button also takes text
// as its window text, so that the picture has an accessible name. True when the tooltip took the tool.
bool addTooltip(HWND tooltip, HWND control, const std::string& text);
