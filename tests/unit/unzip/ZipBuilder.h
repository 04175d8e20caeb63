// Builds small zip archives in memory for the extraction tests: stored entries, or deflated with zlib, with
// the names, DOS times and attributes a test needs (including ones no archiver would write).
#pragma once

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace ziptest {

// DOS date-time as a zip entry stores it: date in the high 16 bits, time (2-second steps) in the low 16 bits.
inline uint32_t dosDateTime(int year, int month, int day, int hour, int minute, int second) {
    uint32_t date = uint32_t((year - 1980) << 9 | month << 5 | day);
    uint32_t time = uint32_t(hour << 11 | minute << 5 | second / 2);
    return date << 16 | time;
}

struct Entry {
    std::string name;
    std::string data;
    bool deflate = false;
    uint32_t dosTime = dosDateTime(2013, 5, 17, 14, 31, 58);
    uint32_t externalAttributes = 0x20;  // DOS archive bit
};

inline Entry folderEntry(const std::string& name) {
    Entry e;
    e.name = name;
    e.externalAttributes = 0x10;
    return e;
}

inline std::string rawDeflate(const std::string& data) {
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&z, uLong(data.size())) + 16, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = uInt(out.size());
    int rc = deflate(&z, Z_FINISH);
    deflateEnd(&z);
    if (rc != Z_STREAM_END) throw std::runtime_error("deflate");
    out.resize(z.total_out);
    return out;
}

class Builder {
public:
    static std::string build(const std::vector<Entry>& entries) {
        std::string zip, central;
        for (const Entry& e : entries) {
            const std::string body = e.deflate ? rawDeflate(e.data) : e.data;
            const uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), uInt(e.data.size())));
            const uint16_t method = e.deflate ? 8 : 0;
            const uint32_t offset = uint32_t(zip.size());

            u32(zip, 0x04034b50);
            u16(zip, 20);
            u16(zip, 0);
            u16(zip, method);
            u16(zip, uint16_t(e.dosTime & 0xFFFF));
            u16(zip, uint16_t(e.dosTime >> 16));
            u32(zip, crc);
            u32(zip, uint32_t(body.size()));
            u32(zip, uint32_t(e.data.size()));
            u16(zip, uint16_t(e.name.size()));
            u16(zip, 0);
            zip += e.name;
            zip += body;

            u32(central, 0x02014b50);
            u16(central, 20);  // made by: MS-DOS, so the low byte of the attributes is DOS attributes
            u16(central, 20);
            u16(central, 0);
            u16(central, method);
            u16(central, uint16_t(e.dosTime & 0xFFFF));
            u16(central, uint16_t(e.dosTime >> 16));
            u32(central, crc);
            u32(central, uint32_t(body.size()));
            u32(central, uint32_t(e.data.size()));
            u16(central, uint16_t(e.name.size()));
            u16(central, 0);
            u16(central, 0);
            u16(central, 0);
            u16(central, 0);
            u32(central, e.externalAttributes);
            u32(central, offset);
            central += e.name;
        }
        const uint32_t centralOffset = uint32_t(zip.size());
        zip += central;
        u32(zip, 0x06054b50);
        u16(zip, 0);
        u16(zip, 0);
        u16(zip, uint16_t(entries.size()));
        u16(zip, uint16_t(entries.size()));
        u32(zip, uint32_t(central.size()));
        u32(zip, centralOffset);
        u16(zip, 0);
        return zip;
    }

private:
    static void u16(std::string& s, uint16_t v) {
        s.push_back(char(v & 0xFF));
        s.push_back(char(v >> 8));
    }
    static void u32(std::string& s, uint32_t v) {
        u16(s, uint16_t(v & 0xFFFF));
        u16(s, uint16_t(v >> 16));
    }
};

inline std::string buildZip(const std::vector<Entry>& entries) { return Builder::build(entries); }

// Deterministic bytes: incompressible noise or compressible text.
inline std::string noise(std::size_t size, uint32_t seed) {
    std::string out(size, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (char& c : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x & 0xFF);
    }
    return out;
}

inline std::string text(std::size_t size) {
    std::string out;
    for (int line = 0; out.size() < size; ++line) out += "line " + std::to_string(line) + " of a build log\n";
    out.resize(size);
    return out;
}

}  // namespace ziptest
