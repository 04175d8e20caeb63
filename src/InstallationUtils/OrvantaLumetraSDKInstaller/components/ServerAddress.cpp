#include "components/ServerAddress.h"

namespace components {

namespace {
// Room for any address a test or a demo would name; a longer value is unreadable and ignored.
constexpr std::size_t OverrideBufferChars = 1024;
}  // namespace

std::string serverBaseUrl(platform::Machine& machine) {
    std::optional<std::string> address = machine.environment.variable(ServerOverrideVariable, OverrideBufferChars);
    if (!address || address->empty()) return DefaultServerBaseUrl;
    // Every server path begins with "/", so a base ending in one would double it.
    if (address->back() == '/') address->pop_back();
    return *address;
}

}  // namespace components
