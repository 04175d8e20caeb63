// Windows Installer queries and removal through msi.dll.
#pragma once

#include "platform/Machine.h"

namespace platform::win32 {

class Win32WindowsInstaller : public WindowsInstaller {
public:
    std::optional<std::string> productInfoEx(const std::string& productCode, MsiContext context,
                                             const std::string& property, std::size_t bufferChars) override;
    std::optional<std::string> productInfo(const std::string& productCode, const std::string& property,
                                           std::size_t bufferChars) override;
    uint32_t enumProducts(uint32_t index, std::string& productCode) override;
    std::optional<std::string> fileVersion(const std::string& path, std::size_t bufferChars) override;
    uint32_t configureProductAbsent(const std::string& productCode) override;
};

}  // namespace platform::win32
