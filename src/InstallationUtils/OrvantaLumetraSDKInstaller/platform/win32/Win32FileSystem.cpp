#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>

namespace platform::win32 {

namespace {

FileTime fromFiletime(const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

FILETIME toFiletime(FileTime t) {
    FILETIME out;
    out.dwLowDateTime = static_cast<DWORD>(t & 0xFFFFFFFFu);
    out.dwHighDateTime = static_cast<DWORD>(t >> 32);
    return out;
}

bool endsWithSeparator(const std::string& path) {
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
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
    if (endsWithSeparator(path)) return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

std::optional<std::vector<FindEntry>> Win32FileSystem::find(const std::string& pattern) {
    std::vector<FindEntry> entries;
    if (endsWithSeparator(pattern)) return entries;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_MORE_FILES)
            return entries;
        return std::nullopt;
    }
    bool complete = false;
    do {
        FindEntry e;
        e.name = found.cFileName;
        e.attributes = found.dwFileAttributes;
        e.size = (uint64_t(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        e.creationTime = fromFiletime(found.ftCreationTime);
        e.lastWriteTime = fromFiletime(found.ftLastWriteTime);
        entries.push_back(std::move(e));
        if (!FindNextFileA(search, &found)) {
            complete = GetLastError() == ERROR_NO_MORE_FILES;
            break;
        }
    } while (true);
    FindClose(search);
    if (!complete) return std::nullopt;
    return entries;
}

std::optional<uint32_t> Win32FileSystem::attributes(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return a;
}

bool Win32FileSystem::setAttributes(const std::string& path, uint32_t attributes) {
    return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

bool Win32FileSystem::deleteFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

bool Win32FileSystem::moveFile(const std::string& from, const std::string& to, uint32_t flags) {
    return MoveFileExA(from.c_str(), to.c_str(), flags) != FALSE;
}

bool Win32FileSystem::copyFile(const std::string& from, const std::string& to, bool failIfExists) {
    return CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE) != FALSE;
}

bool Win32FileSystem::createFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

bool Win32FileSystem::removeFolder(const std::string& path) { return RemoveDirectoryA(path.c_str()) != FALSE; }

std::unique_ptr<File> Win32FileSystem::open(const std::string& path, Access access, Disposition disposition) {
    HANDLE handle = CreateFileA(path.c_str(), accessOf(access), 0, nullptr, dispositionOf(disposition),
                                FILE_ATTRIBUTE_ARCHIVE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32File>(handle);
}

bool Win32FileSystem::setTimes(const std::string& path, std::optional<FileTime> creation,
                               std::optional<FileTime> lastWrite) {
    // Backup semantics lets the same call open a folder.
    HANDLE handle = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    bool ok = applyTimes(handle, creation, lastWrite);
    CloseHandle(handle);
    return ok;
}

}  // namespace platform::win32
