// The registry through advapi32, in the process's default (32-bit) view.
#pragma once

#include "platform/Machine.h"

namespace platform::win32 {

class Win32Registry : public Registry {
public:
    bool keyExists(Hive hive, const std::string& key) override;
    std::optional<RegistryValue> readValue(Hive hive, const std::string& key, const std::string& name,
                                           std::size_t bufferBytes) override;
    bool createKey(Hive hive, const std::string& key) override;
    bool writeValue(Hive hive, const std::string& key, const std::string& name,
                    const RegistryValue& value) override;
    bool deleteValue(Hive hive, const std::string& key, const std::string& name) override;
    bool deleteKeyTree(Hive hive, const std::string& key) override;
};

}  // namespace platform::win32
