// HTTP over WinINet.
#pragma once

#include "platform/Machine.h"

namespace platform::win32 {

class Win32Http : public Http {
public:
    std::unique_ptr<HttpSession> openSession(const std::string& userAgent) override;
};

}  // namespace platform::win32
