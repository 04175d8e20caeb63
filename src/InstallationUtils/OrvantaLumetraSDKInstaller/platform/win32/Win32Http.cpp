// HTTP over WinINet: one handle per object, closed by its destructor, every failure raised as InternetError
// with WinINet's own error text.
#include "platform/win32/Win32Http.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

#include "platform/win32/OwnerWindow.h"

namespace platform::win32 {
namespace {

// WinINet's messages live in wininet.dll, not in the system table, so FormatMessage needs the module.
std::string internetErrorText(DWORD code) {
    char buffer[1024] = {};
    DWORD length = 0;
    if (HMODULE wininet = GetModuleHandleA("wininet.dll")) {
        length = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, wininet, code, 0,
                                buffer, sizeof(buffer), nullptr);
    }
    if (length == 0) {
        length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                buffer, sizeof(buffer), nullptr);
    }
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    if (text.empty()) {
        char generic[64];
        std::snprintf(generic, sizeof(generic), "Internet error %lu", static_cast<unsigned long>(code));
        text = generic;
    }
    return text;
}

[[noreturn]] void throwLastError() {
    DWORD code = GetLastError();
    throw InternetError(code, internetErrorText(code));
}

// An internet handle that may be closed from another thread while its owner is blocked in a call on it:
// closing is the documented way to end such a call. Whoever closes first closes; the other finds it gone.
class Handle {
public:
    explicit Handle(HINTERNET handle) : handle_(handle) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HINTERNET get() const { return handle_.load(); }
    void close() {
        if (HINTERNET handle = handle_.exchange(nullptr)) InternetCloseHandle(handle);
    }

private:
    std::atomic<HINTERNET> handle_;
};

// A download that stops moving must end with an error instead of holding its worker forever.
constexpr DWORD ConnectTimeoutMs = 30000;
constexpr DWORD ReceiveTimeoutMs = 60000;

// Asks HttpQueryInfoA, growing the buffer when the value does not fit; nullopt when the header is absent.
std::optional<std::string> queryText(HINTERNET request, DWORD level, const std::string& name = {}) {
    std::vector<char> buffer(std::max<std::size_t>(256, name.size() + 1));
    for (;;) {
        if (!name.empty()) {
            // HTTP_QUERY_CUSTOM takes the header's name in the buffer it answers into.
            std::fill(buffer.begin(), buffer.end(), 0);
            std::copy(name.begin(), name.end(), buffer.begin());
        }
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD index = 0;
        if (HttpQueryInfoA(request, level, buffer.data(), &size, &index)) return std::string(buffer.data(), size);
        DWORD error = GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
        buffer.resize(std::max<std::size_t>(size + 1, buffer.size() * 2));
    }
}

class Win32HttpRequest : public HttpRequest {
public:
    explicit Win32HttpRequest(HINTERNET handle) : handle_(handle) {}

    void send() override {
        if (!HttpSendRequestA(handle_.get(), nullptr, 0, nullptr, 0)) throwLastError();
    }

    void sendWithHeaders(const std::string& headers) override {
        if (!HttpSendRequestA(handle_.get(), headers.c_str(), static_cast<DWORD>(headers.size()), nullptr, 0))
            throwLastError();
    }

    uint32_t status() override {
        DWORD code = 0;
        DWORD size = sizeof(code);
        DWORD index = 0;
        if (!HttpQueryInfoA(handle_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size,
                            &index)) {
            throwLastError();
        }
        return code;
    }

    std::string rawHeaders() override {
        return queryText(handle_.get(), HTTP_QUERY_RAW_HEADERS_CRLF).value_or(std::string());
    }

    std::optional<std::string> header(const std::string& name) override {
        if (name.empty()) return std::nullopt;
        return queryText(handle_.get(), HTTP_QUERY_CUSTOM, name);
    }

    // A synchronous InternetReadFile on Windows returns only when the whole requested size has arrived (or
    // the body ended), which on a slow link keeps the caller away from its abort checks for as long as that
    // takes. Asking for no more than is already there keeps every read short; the wait for the next data
    // happens in InternetQueryDataAvailable, which a cancel ends.
    std::size_t read(void* data, std::size_t size) override {
        if (size == 0) return 0;
        DWORD available = 0;
        if (!InternetQueryDataAvailable(handle_.get(), &available, 0, 0)) throwLastError();
        if (available == 0) return 0;  // the end of the body
        DWORD got = 0;
        DWORD asked = static_cast<DWORD>(std::min<std::size_t>(size, available));
        if (!InternetReadFile(handle_.get(), data, asked, &got)) throwLastError();
        return got;
    }

    void cancel() override { handle_.close(); }

    CredentialAnswer promptCredentials() override {
        // Owned by the wizard while it is open, so that the login stays in front of it and goes with it.
        DWORD answer = InternetErrorDlg(ownerWindow(), handle_.get(), ERROR_INTERNET_INCORRECT_PASSWORD,
                                        FLAGS_ERROR_UI_FLAGS_GENERATE_DATA | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS,
                                        nullptr);
        return answer == ERROR_INTERNET_FORCE_RETRY ? CredentialAnswer::Retry : CredentialAnswer::Declined;
    }

private:
    Handle handle_;
};

class Win32HttpConnection : public HttpConnection {
public:
    explicit Win32HttpConnection(HINTERNET handle) : handle_(handle) {}

    std::unique_ptr<HttpRequest> openRequest(const std::string& verb, const std::string& object,
                                             uint32_t flags) override {
        HINTERNET request = HttpOpenRequestA(handle_.get(), verb.c_str(), object.c_str(), nullptr, nullptr, nullptr,
                                             flags, 1);
        if (!request) throwLastError();
        return std::make_unique<Win32HttpRequest>(request);
    }

private:
    Handle handle_;
};

class Win32HttpSession : public HttpSession {
public:
    explicit Win32HttpSession(HINTERNET handle) : handle_(handle) {}

    std::unique_ptr<HttpConnection> connect(const std::string& server, uint16_t port) override {
        HINTERNET connection = InternetConnectA(handle_.get(), server.c_str(), port, nullptr, nullptr,
                                                INTERNET_SERVICE_HTTP, 0, 1);
        if (!connection) throwLastError();
        return std::make_unique<Win32HttpConnection>(connection);
    }

private:
    Handle handle_;
};

}  // namespace

std::unique_ptr<HttpSession> Win32Http::openSession(const std::string& userAgent) {
    HINTERNET session = InternetOpenA(userAgent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) throwLastError();
    // Set on the session, the time-outs apply to every connection and request made through it.
    DWORD connectTimeout = ConnectTimeoutMs, receiveTimeout = ReceiveTimeoutMs;
    InternetSetOptionA(session, INTERNET_OPTION_CONNECT_TIMEOUT, &connectTimeout, sizeof(connectTimeout));
    InternetSetOptionA(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &receiveTimeout, sizeof(receiveTimeout));
    InternetSetOptionA(session, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, &receiveTimeout, sizeof(receiveTimeout));
    return std::make_unique<Win32HttpSession>(session);
}

}  // namespace platform::win32
