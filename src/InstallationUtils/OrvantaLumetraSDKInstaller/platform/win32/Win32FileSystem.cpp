#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/WidePaths.h"

namespace platform::win32 {

namespace {

FileTime fromFiletime(const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

FILETIME toFiletime(FileTime t) {
    FILETIME out;
    out.dwLowDateTime = static_cast<DWORD>(t & 0xFFFFFFFFu);
    out.dwHighDateTime = static_cast<DWORD>(t >> 32);
    return out;
}

// Asked of the wide form: in a double-byte code page the second byte of a character can be a backslash.
bool endsWithSeparator(const std::wstring& path) {
    return !path.empty() && (path.back() == L'\\' || path.back() == L'/');
}

bool hasWildcard(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

// A path for the wide functions, or nullopt (with ERROR_FILENAME_EXCED_RANGE) for one longer than MAX_PATH
// characters. The ANSI functions refuse such a path before they look at it; the wide ones take it wherever long
// paths are turned on (Wine always does), and this layer would then reach what the rest of the program, and
// the programs it starts, cannot.
std::optional<std::wstring> reachable(const std::string& path) {
    std::wstring wide = widePath(path);
    if (wide.size() > MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return std::nullopt;
    }
    return wide;
}

wchar_t folded(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// The file-name match of the search, on the long name only (case-insensitive; a trailing ".*" also matches a
// name without an extension, as "*.*" matches every name).
bool nameMatches(const wchar_t* pattern, const wchar_t* name) {
    if (*pattern == L'\0') return *name == L'\0';
    if (pattern[0] == L'.' && pattern[1] == L'*' && pattern[2] == L'\0' && *name == L'\0') return true;
    if (*pattern == L'*') return nameMatches(pattern + 1, name) || (*name && nameMatches(pattern, name + 1));
    if (*name == L'\0') return false;
    if (*pattern == L'?' || folded(*pattern) == folded(*name)) return nameMatches(pattern + 1, name + 1);
    return false;
}

// FindFirstFile also matches 8.3 aliases: "*.exe" finds "x.exe1" through "X~1.EXE". An entry counts when its
// long name matches, or when it has no alias that could have matched instead.
bool matchedOnLongName(const std::wstring& pattern, const WIN32_FIND_DATAW& found) {
    if (found.cAlternateFileName[0] == L'\0') return true;
    const std::size_t cut = pattern.find_last_of(L"\\/:");
    const std::wstring namePattern = cut == std::wstring::npos ? pattern : pattern.substr(cut + 1);
    return nameMatches(namePattern.c_str(), found.cFileName);
}

// SetFileTime with the times that are given; the others stay as they are.
bool applyTimes(HANDLE handle, std::optional<FileTime> creation, std::optional<FileTime> lastWrite) {
    FILETIME created = creation ? toFiletime(*creation) : FILETIME{};
    FILETIME written = lastWrite ? toFiletime(*lastWrite) : FILETIME{};
    return SetFileTime(handle, creation ? &created : nullptr, nullptr, lastWrite ? &written : nullptr) != FALSE;
}

class Win32File : public File {
public:
    explicit Win32File(HANDLE handle) : handle_(handle) {}
    ~Win32File() override { close(); }
    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;

    bool write(const void* data, std::size_t size) override {
        if (handle_ == INVALID_HANDLE_VALUE) return false;
        const char* next = static_cast<const char*>(data);
        while (size > 0) {
            DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
            DWORD written = 0;
            if (!WriteFile(handle_, next, chunk, &written, nullptr) || written == 0) return false;
            next += written;
            size -= written;
        }
        return true;
    }

    long long read(void* data, std::size_t size) override {
        if (handle_ == INVALID_HANDLE_VALUE) return -1;
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(handle_, data, chunk, &got, nullptr)) return -1;
        return got;
    }

    bool seek(uint64_t offset) override {
        if (handle_ == INVALID_HANDLE_VALUE) return false;
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(offset);
        return SetFilePointerEx(handle_, position, nullptr, FILE_BEGIN) != FALSE;
    }

    std::optional<uint64_t> size() override {
        LARGE_INTEGER size;
        if (handle_ == INVALID_HANDLE_VALUE || !GetFileSizeEx(handle_, &size)) return std::nullopt;
        return static_cast<uint64_t>(size.QuadPart);
    }

    bool setTimes(std::optional<FileTime> creation, std::optional<FileTime> lastWrite) override {
        return handle_ != INVALID_HANDLE_VALUE && applyTimes(handle_, creation, lastWrite);
    }

    bool close() override {
        if (handle_ == INVALID_HANDLE_VALUE) return false;
        bool closed = CloseHandle(handle_) != FALSE;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

DWORD accessOf(Access access) {
    switch (access) {
        case Access::Read: return GENERIC_READ;
        case Access::Write: return GENERIC_WRITE;
        case Access::ReadWrite: return GENERIC_READ | GENERIC_WRITE;
    }
    return 0;
}

DWORD dispositionOf(Disposition disposition) {
    switch (disposition) {
        case Disposition::CreateNew: return CREATE_NEW;
        case Disposition::CreateAlways: return CREATE_ALWAYS;
        case Disposition::OpenExisting: return OPEN_EXISTING;
        case Disposition::OpenAlways: return OPEN_ALWAYS;
    }
    return OPEN_EXISTING;
}

}  // namespace

bool Win32FileSystem::exists(const std::string& path) {
    // Windows never matches a path that ends in a separator; say so before asking, so that the answer does
    // not hang on how a particular file system layer treats such a name.
    const auto wide = reachable(path);
    if (!wide || endsWithSeparator(*wide)) return false;
    // A plain path is asked of its attributes: a search cannot find a drive or share root, and would also
    // match an 8.3 alias.
    if (!hasWildcard(path)) return GetFileAttributesW(wide->c_str()) != INVALID_FILE_ATTRIBUTES;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide->c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool matched = false;
    do {
        matched = matchedOnLongName(*wide, found);
    } while (!matched && FindNextFileW(search, &found));
    FindClose(search);
    return matched;
}

std::optional<std::vector<FindEntry>> Win32FileSystem::find(const std::string& pattern) {
    std::vector<FindEntry> entries;
    if (endsWithSeparator(widePath(pattern))) return entries;
    const auto wide = reachable(pattern);
    if (!wide) return std::nullopt;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide->c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_MORE_FILES)
            return entries;
        return std::nullopt;
    }
    bool complete = false;
    do {
        if (matchedOnLongName(*wide, found)) {
            FindEntry e;
            // Escaped where the ANSI code page cannot hold it (WidePaths.h): every call here accepts it back.
            e.name = narrowName(found.cFileName);
            e.attributes = found.dwFileAttributes;
            e.size = (uint64_t(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
            e.creationTime = fromFiletime(found.ftCreationTime);
            e.lastWriteTime = fromFiletime(found.ftLastWriteTime);
            entries.push_back(std::move(e));
        }
        if (!FindNextFileW(search, &found)) {
            complete = GetLastError() == ERROR_NO_MORE_FILES;
            break;
        }
    } while (true);
    FindClose(search);
    if (!complete) return std::nullopt;
    return entries;
}

std::optional<uint32_t> Win32FileSystem::attributes(const std::string& path) {
    const auto wide = reachable(path);
    DWORD a = wide ? GetFileAttributesW(wide->c_str()) : INVALID_FILE_ATTRIBUTES;
    if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return a;
}

bool Win32FileSystem::setAttributes(const std::string& path, uint32_t attributes) {
    const auto wide = reachable(path);
    return wide && SetFileAttributesW(wide->c_str(), attributes) != FALSE;
}

bool Win32FileSystem::deleteFile(const std::string& path) {
    const auto wide = reachable(path);
    return wide && DeleteFileW(wide->c_str()) != FALSE;
}

namespace {

// MOVEFILE_WRITE_THROUGH makes the rename durable, not the file's contents: after a power cut the final name
// could hold zeros. The contents go to the disk first.
void flushContents(const std::wstring& path) {
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return;  // the move itself reports what is wrong
    FlushFileBuffers(handle);
    CloseHandle(handle);
}

// A file that was just written is often held for a moment by a virus scanner or the indexer.
bool briefRefusal(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

constexpr int MoveAttempts = 10;
constexpr DWORD MoveRetryPauseMs = 200;

}  // namespace

bool Win32FileSystem::moveFile(const std::string& from, const std::string& to, uint32_t flags) {
    const auto source = reachable(from), target = reachable(to);
    if (!source || !target) return false;
    if (flags & MOVEFILE_WRITE_THROUGH) flushContents(*source);
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(source->c_str(), target->c_str(), flags)) return true;
        const DWORD error = GetLastError();
        if (attempt == MoveAttempts || !briefRefusal(error)) return false;
        Sleep(MoveRetryPauseMs);
        SetLastError(error);
    }
}

bool Win32FileSystem::copyFile(const std::string& from, const std::string& to, bool failIfExists) {
    const auto source = reachable(from), target = reachable(to);
    return source && target && CopyFileW(source->c_str(), target->c_str(), failIfExists ? TRUE : FALSE) != FALSE;
}

bool Win32FileSystem::createFolder(const std::string& path) {
    const auto wide = reachable(path);
    return wide && CreateDirectoryW(wide->c_str(), nullptr) != FALSE;
}

bool Win32FileSystem::removeFolder(const std::string& path) {
    const auto wide = reachable(path);
    return wide && RemoveDirectoryW(wide->c_str()) != FALSE;
}

std::unique_ptr<File> Win32FileSystem::open(const std::string& path, Access access, Disposition disposition) {
    const auto wide = reachable(path);
    if (!wide) return nullptr;
    const DWORD existing = GetFileAttributesW(wide->c_str());
    if (access != Access::Read && existing != INVALID_FILE_ATTRIBUTES &&
        (existing & FILE_ATTRIBUTE_REPARSE_POINT)) {
        // The program runs elevated: writing through a symbolic link would write wherever the link points.
        SetLastError(ERROR_CANT_ACCESS_FILE);
        return nullptr;
    }
    if (disposition == Disposition::CreateAlways && existing != INVALID_FILE_ATTRIBUTES &&
        !(existing & FILE_ATTRIBUTE_DIRECTORY) && (existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) {
        // CREATE_ALWAYS refuses to replace a hidden or system file with a plain one; the replacement is plain.
        SetFileAttributesW(wide->c_str(), existing & ~(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    }
    HANDLE handle = CreateFileW(wide->c_str(), accessOf(access), 0, nullptr, dispositionOf(disposition),
                                FILE_ATTRIBUTE_ARCHIVE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32File>(handle);
}

bool Win32FileSystem::setTimes(const std::string& path, std::optional<FileTime> creation,
                               std::optional<FileTime> lastWrite) {
    // Backup semantics lets the same call open a folder.
    const auto wide = reachable(path);
    if (!wide) return false;
    HANDLE handle = CreateFileW(wide->c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    bool ok = applyTimes(handle, creation, lastWrite);
    CloseHandle(handle);
    return ok;
}

}  // namespace platform::win32
