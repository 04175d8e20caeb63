// SHA-256 (FIPS 180-4), for checking a downloaded file against the digest its server publishes beside it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace download {

using Sha256Digest = std::array<uint8_t, 32>;

class Sha256 {
public:
    Sha256();
    void update(const void* data, std::size_t size);
    // The digest of everything given so far; the object must not be updated afterwards.
    Sha256Digest finish();

private:
    void block(const uint8_t* data);

    std::array<uint32_t, 8> state_;
    std::array<uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    uint64_t length_ = 0;  // bytes
};

Sha256Digest sha256(const std::string& data);
// Lowercase hexadecimal, 64 characters.
std::string toHex(const Sha256Digest& digest);

}  // namespace download
