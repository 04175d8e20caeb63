// The internet session every download opens, and the failure the fetch raises for what the internet layer
// does not report by itself.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "platform/Machine.h"

namespace download {

// Sent as the User-Agent header of every request.
inline constexpr const char* SessionUserAgent = "Internet Session";

// One per download, on the downloading thread's stack; closing it (destruction) ends everything opened
// through it. The session reports no status while it works.
class CCustomSession {
public:
    // Throws platform::InternetError when the internet layer cannot open a session.
    explicit CCustomSession(platform::Http& http);
    CCustomSession(const CCustomSession&) = delete;
    CCustomSession& operator=(const CCustomSession&) = delete;

    platform::HttpSession& session() { return *session_; }

private:
    std::unique_ptr<platform::HttpSession> session_;
};

// Codes of the worker-thread form; the synchronous form uses the same codes minus 2000.
namespace fetchcode {
constexpr int32_t InvalidUrl = -1001;
constexpr int32_t NotHttp = -1002;
constexpr int32_t LoginRejected = -1003;
constexpr int32_t Redirection = -1004;
constexpr int32_t InsufficientBuffers = -1005;  // has a text, is never raised
}  // namespace fetchcode

class CCustomException : public std::exception {
public:
    // > 0: the HTTP status the server answered with; < 0: a fetchcode (or its synchronous counterpart).
    explicit CCustomException(int32_t errorCode) : errorCode(errorCode) {}
    const char* what() const noexcept override { return "download failure"; }

    int32_t errorCode;
};

// The server answered with a status other than 200 and the redirections that have a code of their own. The
// status is kept as the server sent it, apart from the fetch's own codes: a status of 2^31 or more read into a
// signed code would pass for one of them, or for success.
class HttpStatusError : public std::exception {
public:
    explicit HttpStatusError(uint32_t status) : status(status) {}
    const char* what() const noexcept override { return "HTTP error status"; }

    uint32_t status;
};

// "Server responded with HTTP error - <status>", the status written as the unsigned number it is.
std::string httpStatusText(uint32_t status);

// The text of a worker-thread code: the fetchcode texts, "Server responded with HTTP error - <status>" for a
// status, "Unexpected error" for anything else.
std::string fetchErrorText(int32_t errorCode);

}  // namespace download
