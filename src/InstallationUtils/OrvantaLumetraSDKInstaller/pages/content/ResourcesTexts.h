// Texts of the resources page and its tab dialog.
#pragma once

namespace resourcetexts {

inline constexpr const char* Header = "Orvanta Vision Resources";
inline constexpr const char* PageName = "Resources";
inline constexpr const char* RefreshTip = "Refresh Resources List";
inline constexpr const char* Fallback = "Using default list of resources.";
inline constexpr const char* NotAvailable =
    "Error: Unable to get the list of resources from the server.\nPlease try again.";
inline constexpr const char* NoResources = "No resources are available in this category.";
inline constexpr const char* TabCtrlName = "DResorcesTabCtrl";
inline constexpr const char* Marker = "=>";

inline constexpr const char* UnableToLocateLink = "Error: Unable to locate the link. Please try again.";
inline constexpr const char* UnableToAccessLink = "Unable to access the link. Error code - %d";

// Debug lines.
inline constexpr const char* ListTooLong =
    "DTabResources::updateResourcesList() - %s. Unable to use all resources from INI file. List too long.\n";
inline constexpr const char* GridFull = "DTabResources::updateResourcesList() - %s. Unable to display all elements.\n";
inline constexpr const char* ColumnFull =
    "DTabResources::updateResourcesList() - %s. Unable to display all elements from column %d.\n";

}  // namespace resourcetexts
