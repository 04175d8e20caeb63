// The small services: clock, debugger output, INI files, version resources and shell links.
#pragma once

#include "platform/Machine.h"

namespace platform::win32 {

class Win32Clock : public Clock {
public:
    uint32_t tickCount() override;
    void sleep(uint32_t ms) override;
    std::optional<FileTime> localToFileTime(const LocalDateTime& local) override;
    LocalDateTime localNow() override;
};

class Win32DebugOutput : public DebugOutput {
public:
    void write(const std::string& line) override;
};

class Win32Profile : public Profile {
public:
    std::string sectionNames(const std::string& path, std::size_t bufferBytes) override;
    std::string value(const std::string& path, const std::string& section, const std::string& key,
                      const std::string& defaultValue, std::size_t bufferBytes) override;
};

class Win32VersionResources : public VersionResources {
public:
    std::optional<FixedVersionInfo> fixedInfo(const std::string& path) override;
    std::vector<uint32_t> translations(const std::string& path) override;
    std::optional<std::string> stringValue(const std::string& path, const std::string& subBlock) override;
};

class Win32ShellLinks : public ShellLinks {
public:
    bool save(const std::string& linkPath, const ShellLink& link) override;
    std::optional<ShellLink> load(const std::string& linkPath) override;
};

}  // namespace platform::win32
