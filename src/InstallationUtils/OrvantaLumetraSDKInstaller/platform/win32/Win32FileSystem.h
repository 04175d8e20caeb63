// Files and folders through the wide file API of kernel32. Paths come and go as ANSI strings, as the interface
// has them; a found name the ANSI code page cannot hold comes back escaped, and every call here takes the escape
// back (WidePaths.h).
#pragma once

#include "platform/Machine.h"

namespace platform::win32 {

class Win32FileSystem : public FileSystem {
public:
    bool exists(const std::string& path) override;
    std::optional<std::vector<FindEntry>> find(const std::string& pattern) override;
    std::optional<uint32_t> attributes(const std::string& path) override;
    bool setAttributes(const std::string& path, uint32_t attributes) override;
    bool deleteFile(const std::string& path) override;
    bool moveFile(const std::string& from, const std::string& to, uint32_t flags) override;
    bool copyFile(const std::string& from, const std::string& to, bool failIfExists) override;
    bool createFolder(const std::string& path) override;
    bool removeFolder(const std::string& path) override;
    std::unique_ptr<File> open(const std::string& path, Access access, Disposition disposition) override;
    bool setTimes(const std::string& path, std::optional<FileTime> creation,
                  std::optional<FileTime> lastWrite) override;
};

}  // namespace platform::win32
