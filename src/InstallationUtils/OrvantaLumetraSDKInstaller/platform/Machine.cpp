#include "platform/Machine.h"

namespace platform {

std::string RegistryValue::text() const {
    std::string s;
    for (uint8_t b : data) {
        if (b == 0) break;
        s.push_back(static_cast<char>(b));
    }
    return s;
}

std::optional<uint32_t> RegistryValue::firstDword() const {
    if (data.size() < 4) return std::nullopt;
    return uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
}

bool Registry::writeString(Hive hive, const std::string& key, const std::string& name, const std::string& value,
                           uint32_t type) {
    RegistryValue v;
    v.type = type;
    v.data.assign(value.begin(), value.end());
    v.data.push_back(0);
    return writeValue(hive, key, name, v);
}

bool Registry::writeDword(Hive hive, const std::string& key, const std::string& name, uint32_t value) {
    RegistryValue v;
    v.type = RegDword;
    for (int i = 0; i < 4; ++i) v.data.push_back(uint8_t(value >> (8 * i)));
    return writeValue(hive, key, name, v);
}

}  // namespace platform
