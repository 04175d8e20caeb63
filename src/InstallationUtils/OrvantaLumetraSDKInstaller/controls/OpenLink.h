// Opening what a hyperlink points at: an address goes to the shell as it is; a PDF or PNG document is
// fetched into the data folder's Resources folder first (or taken from there) and then opened.
#pragma once

#include <string>

#include "components/OperationContext.h"

// openLink's own failure codes; the shell's failures keep their results (0 to 32).
namespace linkerror {
inline constexpr int UnparsableDownloadPath = -1;  // a document address without "/" or "\"
inline constexpr int DownloadFailed = -2;          // the download dialog did not end with OK
inline constexpr int DocumentMissing = -3;         // downloaded, yet not in the Resources folder
}  // namespace linkerror

// 1 when the address or document was handed to the shell's "open" verb successfully; otherwise -1 with the
// failure code in *errorCode (when given). displayName names the download in its progress dialog. The
// messages about an unparsable address and a missing document are shown here, through ctx.ui.
int openLink(const std::string& url, const std::string& displayName, const components::OperationContext& ctx,
             int* errorCode);

// "Unable to open hyperlink:\n\n" followed by the explanation of code (the shell's table, or the unknown-error
// text filled with the code).
std::string hyperlinkFailureText(int code);

// True when the last four characters of url are ".pdf" or ".png", in any case: such a link names a document
// to download rather than an address to open.
bool linkNamesDocument(const std::string& url);
