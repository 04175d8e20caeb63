#include "components/OrvantaProducts.h"

namespace components::products {

std::string installPathKey(const std::string& displayName) {
    std::string key = InstallPathKeyFormat;
    key.replace(key.find("%s"), 2, displayName);
    return key;
}

}  // namespace components::products
