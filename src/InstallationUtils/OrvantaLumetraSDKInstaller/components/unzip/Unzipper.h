// Unpacking a whole zip archive into a folder: the packaged modules, the help and the tutorials come this way.
//
// A thin layer over minizip's unzip interface that adds what the installer needs: entry names joined to the
// target folder, missing folders created, one file per entry, each file's time restored from the archive.
// Every file access goes through the machine's file system (the archive is read through it as well), so the
// same code runs on Windows and on the in-memory machine of the unit tests.
//
// Archives come from a download server: an entry whose name would land outside the target folder (a ".."
// element, a rooted or drive-qualified name, a device name) makes the whole extraction fail before anything
// of the archive is written.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "platform/Machine.h"

class CUnzipper {
public:
    // Names longer than this (the size of the name buffer, terminator included) are refused, never cut.
    static constexpr std::size_t kMaxEntryName = 260;
    // The largest archive path that can be opened (the size of the full-path buffer, terminator included).
    static constexpr std::size_t kMaxArchivePath = 260;
    // Entry data is copied through a fixed buffer of this size.
    static constexpr std::size_t kCopyChunk = 2048;

    explicit CUnzipper(platform::Machine& machine);
    virtual ~CUnzipper();
    CUnzipper(const CUnzipper&) = delete;
    CUnzipper& operator=(const CUnzipper&) = delete;

    // Closes any open archive, then opens the one at path. False for an empty path, a path too long, a file
    // that cannot be opened or that is not a zip archive.
    bool openArchive(const std::string& path);
    // Extracts every entry of the open archive below folder, in archive order. False when no archive is open,
    // folder is empty or cannot be created, the archive holds no entries, any entry name is unsafe, or any
    // entry fails; the entries written before a failure stay.
    bool extractAllTo(const std::string& folder);
    // Extracts the current entry below folder.
    bool extractCurrentTo(const std::string& folder);
    // Closes the current entry and the archive; harmless when nothing is open.
    void closeArchive();

    // Creates path and its missing parents. True when path is (now) a folder, and also when path has no
    // separator left to cut at (nothing is created then). A trailing separator names the folder itself.
    bool makeFolder(const std::string& path);
    // makeFolder of everything before path's last separator; false when there is none.
    bool makeParentFolder(const std::string& path);

    // Whether an entry name ("/" or "\" separated) stays below the folder it is extracted into and names an
    // ordinary file: not empty; no leading separator; no ":" (drive letters, streams); no control characters
    // or * ? " < > |; no element made only of dots and blanks (".", ".."); no device name (CON, NUL, COM1, ...).
    static bool isSafeEntryName(const std::string& name);

private:
    struct ArchiveReader;
    struct CentralDirectory;

    // Visits every entry of the central directory in order, making each the current entry; stops with false
    // at the first visit that answers false. The walk follows the directory's own records to its recorded
    // end, not the entry count (a 16-bit count wraps past 65535 entries, and minizip stops early or reads
    // past the last record when it trusts it); an entry count that does not match the records fails the walk.
    bool forEachEntry(const std::function<bool()>& visit);
    bool allEntryNamesSafe();
    bool isOpen() const { return archive_ != nullptr || emptyArchive_; }

    platform::Machine& machine_;
    std::unique_ptr<ArchiveReader> reader_;
    void* archive_ = nullptr;  // minizip's unzFile; null when no archive is open
    bool emptyArchive_ = false;  // an archive without entries is open (minizip has no handle for it)
    std::set<std::string> knownFolders_;  // folders made or found while the archive is open
};

// Unpacks the archive at archivePath below folder: true when every entry was written.
bool extractArchive(platform::Machine& machine, const std::string& archivePath, const std::string& folder);
