// Texts shared by the category tabs of the tutorials and resources pages.
#pragma once

namespace contenttexts {

inline constexpr const char* UnableToAddTab = "Unable to add Tab item. Please try again.";
// The caption of the single tab shown while there is no list.
inline constexpr const char* EmptyTabCaption = " ";
// A tab caption holds at most this many characters; longer categories are shortened for the caption only.
inline constexpr unsigned MaxTabCaption = 255;
inline constexpr const char* UnableToCreateTabDialog = "%s::createTabContents() - Unable to create tab dialog";

}  // namespace contenttexts
