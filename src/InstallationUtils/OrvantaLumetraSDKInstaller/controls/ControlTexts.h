// Texts the drawn controls show: the hyperlink's failure box and the messages of opening a linked document.
#pragma once

namespace controltexts {

// The box a failed link click shows: this line, then the text for the failure code.
inline constexpr const char* UnableToOpenHyperlink = "Unable to open hyperlink:\n\n";

// The shell's documented failure results of opening a document (0 to 32), each with its explanation.
struct ShellFailureText {
    int code;
    const char* text;
};
inline constexpr ShellFailureText ShellFailureTexts[] = {
    {0, "The operating system is out\nof memory or resources."},
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {5, "The operating system denied\naccess to the specified file."},
    {8, "There was not enough memory to complete the operation."},
    {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {26, "A sharing violation occurred. "},
    {27, "The filename association is\nincomplete or invalid."},
    {28, "The DDE transaction could not\nbe completed because the request timed out."},
    {29, "The DDE transaction failed."},
    {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
    {31, "There is no application associated\nwith the given filename extension."},
    {32, "The specified dynamic-link library was not found."},
};
// Every other code, openLink's own negative ones included (printf format, one %d).
inline constexpr const char* UnknownError = "Unknown Error (%d) occurred.";

// openLink's own messages about a linked document.
inline constexpr const char* UnableToParseDownloadPath =
    "Error: Unable to parse the download path for the selected resource. Please try again.";
inline constexpr const char* UnableToLocateResource =
    "Error: Unable to locate the selected resource. Please try again.";

}  // namespace controltexts
