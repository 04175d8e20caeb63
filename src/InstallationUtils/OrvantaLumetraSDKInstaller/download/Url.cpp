#include "download/Url.h"

#include <algorithm>
#include <cctype>

#include "platform/TextCompare.h"

namespace download {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

UrlService serviceOf(const std::string& scheme) {
    std::string s = text::toLowerAscii(scheme);
    if (s == "http") return UrlService::Http;
    if (s == "https") return UrlService::Https;
    if (s == "ftp") return UrlService::Ftp;
    if (s == "gopher") return UrlService::Gopher;
    if (s == "file") return UrlService::File;
    return UrlService::Unknown;
}

uint16_t defaultPort(UrlService service) {
    switch (service) {
        case UrlService::Http: return 80;
        case UrlService::Https: return 443;
        case UrlService::Ftp: return 21;
        case UrlService::Gopher: return 70;
        default: return 0;
    }
}

bool validScheme(const std::string& scheme) {
    if (scheme.empty() || !std::isalpha(static_cast<unsigned char>(scheme[0]))) return false;
    return std::all_of(scheme.begin(), scheme.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '+' || c == '-' || c == '.';
    });
}

}  // namespace

std::optional<ParsedUrl> parseUrl(const std::string& url) {
    std::size_t begin = 0, end = url.size();
    while (begin < end && isBlank(url[begin])) ++begin;
    while (end > begin && isBlank(url[end - 1])) --end;
    std::string text = url.substr(begin, end - begin);
    // A line break inside the address would reach the request line and start a header of its own.
    if (std::any_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; }))
        return std::nullopt;

    std::size_t schemeEnd = text.find("://");
    if (schemeEnd == std::string::npos) return std::nullopt;
    std::string scheme = text.substr(0, schemeEnd);
    if (!validScheme(scheme)) return std::nullopt;

    ParsedUrl parsed;
    parsed.service = serviceOf(scheme);

    std::size_t authorityBegin = schemeEnd + 3;
    std::size_t authorityEnd = text.find_first_of("/?#", authorityBegin);
    if (authorityEnd == std::string::npos) authorityEnd = text.size();
    std::string authority = text.substr(authorityBegin, authorityEnd - authorityBegin);

    std::string rest = text.substr(authorityEnd);
    rest = rest.substr(0, rest.find('#'));
    parsed.object = !rest.empty() && rest[0] == '/' ? rest : "/" + rest;

    std::size_t at = authority.rfind('@');
    if (at != std::string::npos) authority.erase(0, at + 1);

    std::string host = authority;
    std::string port;
    if (!authority.empty() && authority[0] == '[') {
        std::size_t close = authority.find(']');
        if (close == std::string::npos) return std::nullopt;
        host = authority.substr(1, close - 1);
        std::string after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after[0] != ':') return std::nullopt;
            port = after.substr(1);
        }
    } else {
        std::size_t colon = authority.find(':');
        if (colon != std::string::npos) {
            host = authority.substr(0, colon);
            port = authority.substr(colon + 1);
        }
    }
    if (std::any_of(host.begin(), host.end(), [](unsigned char c) { return c <= ' ' || c == 0x7F; }))
        return std::nullopt;
    parsed.server = host;

    parsed.port = defaultPort(parsed.service);
    if (!port.empty()) {
        if (port.size() > 5 || !std::all_of(port.begin(), port.end(), [](unsigned char c) { return std::isdigit(c); }))
            return std::nullopt;
        unsigned long number = std::stoul(port);
        if (number == 0 || number > 65535) return std::nullopt;
        parsed.port = static_cast<uint16_t>(number);
    }

    if (parsed.service == UrlService::Http && parsed.server.empty()) return std::nullopt;
    return parsed;
}

}  // namespace download
