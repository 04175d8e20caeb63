// The process's environment, the system's folders, the processor architecture, the Windows version and the
// screen.
#pragma once

#include "platform/Machine.h"

namespace platform::win32 {

class Win32Environment : public Environment {
public:
    std::optional<std::string> executablePath() override;
    std::optional<std::string> variable(const std::string& name, std::size_t bufferChars) override;
    bool setVariable(const std::string& name, const std::optional<std::string>& value) override;
    std::optional<std::string> systemFolder() override;
    std::optional<std::string> tempFolder(std::size_t bufferChars) override;
    std::optional<std::string> knownFolder(KnownFolder folder) override;
    uint16_t nativeArchitecture() override;
    std::optional<WindowsVersion> windowsVersion() override;
    int screenDpi() override;
};

}  // namespace platform::win32
