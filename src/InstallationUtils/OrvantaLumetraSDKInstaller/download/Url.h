// Splitting a download address into what an HTTP connection needs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace download {

enum class UrlService { Unknown, Http, Https, Ftp, Gopher, File };

struct ParsedUrl {
    UrlService service = UrlService::Unknown;
    std::string server;  // host name or address, without brackets or port
    std::string object;  // path and query as written (blanks stay blanks), "/" when the address has none
    uint16_t port = 0;   // the explicit port, else the service's default (http 80, https 443, ftp 21)
};

// "scheme://[user[:password]@]host[:port][/path][?query][#fragment]", the scheme in any case. Surrounding
// blanks are ignored; the fragment is dropped (it never goes to the server); credentials in the address are
// dropped too, since downloads never send any. nullopt when the address cannot be split: no "://", an HTTP
// address without a host, a host with blanks or control characters, or a port that is not 1..65535.
// An address of another scheme splits (service says which) so that the caller can tell "not HTTP" apart
// from "not an address".
std::optional<ParsedUrl> parseUrl(const std::string& url);

}  // namespace download
