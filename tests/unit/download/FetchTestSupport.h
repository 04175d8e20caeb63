// Shared pieces of the download tests: an event recorder, a body of known bytes, a machine whose internet
// layer fails in a chosen way.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "download/Fetch.h"
#include "platform/fake/FakeMachine.h"
#include "support/RecordingUi.h"

namespace fetchtest {

inline const char* Server = "vendor.test";
inline const char* Folder = "C:\\Installer\\_OrvantaInstallData\\Extensions\\Python2D";

struct Event {
    download::WorkerEvent code;
    int32_t value;
    bool operator==(const Event& other) const { return code == other.code && value == other.value; }
};

inline std::ostream& operator<<(std::ostream& out, const Event& event) {
    return out << "{" << static_cast<int>(event.code) << ", " << event.value << "}";
}

class RecordingEvents : public download::FetchEvents {
public:
    void downloadStarted(int32_t totalKilobytes) override { events.push_back({download::DownloadStarted, totalKilobytes}); }
    void downloadProgress(int32_t kilobytes) override {
        events.push_back({download::DownloadProgress, kilobytes});
        if (onProgress) onProgress(kilobytes);
    }
    void downloadCompleted() override { events.push_back({download::DownloadCompleted, 0}); }
    void downloadFailed() override { events.push_back({download::DownloadFailed, 0}); }
    std::vector<Event> events;
    std::function<void(int32_t kilobytes)> onProgress;  // runs while the dialog handles the event
};

// Remembers how many internet handles were still open whenever a message was shown.
class HandleCheckingUi : public RecordingUi {
public:
    explicit HandleCheckingUi(platform::fake::FakeHttp& http) : http_(http) {}
    void applicationMessage(const std::string& text) override {
        openHandlesAtMessage.push_back(http_.sessionsOpen + http_.connectionsOpen + http_.requestsOpen);
        RecordingUi::applicationMessage(text);
    }
    std::vector<int> openHandlesAtMessage;

private:
    platform::fake::FakeHttp& http_;
};

// Bytes that differ from position to position, so a shifted or repeated chunk shows.
inline std::string body(std::size_t size) {
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>((i * 7 + i / 1023) & 0xFF);
    return text;
}

inline platform::fake::FakeResponse ok(std::string content) {
    platform::fake::FakeResponse response;
    response.body = std::move(content);
    return response;
}

inline platform::fake::FakeResponse status(uint32_t code) {
    platform::fake::FakeResponse response;
    response.status = code;
    response.body = "<html>" + std::to_string(code) + "</html>";
    return response;
}

// An internet layer whose session cannot even be opened, with the given error.
class FailingHttp : public platform::Http {
public:
    FailingHttp(uint32_t code, std::string text) : code_(code), text_(std::move(text)) {}
    std::unique_ptr<platform::HttpSession> openSession(const std::string&) override {
        throw platform::InternetError(code_, text_);
    }

private:
    uint32_t code_;
    std::string text_;
};

inline platform::Machine withHttp(platform::fake::FakeMachine& m, platform::Http& http) {
    return platform::Machine{m.registry, m.msi,   m.files, m.processes, m.environment, http,
                             m.clock,    m.debug, m.profile, m.versions, m.links};
}

// Restores the largest network read a test changed.
class MaxChunksPerRead {
public:
    explicit MaxChunksPerRead(std::size_t chunks) : saved_(download::maxChunksPerNetworkRead) {
        download::maxChunksPerNetworkRead = chunks;
    }
    ~MaxChunksPerRead() { download::maxChunksPerNetworkRead = saved_; }

private:
    std::size_t saved_;
};

}  // namespace fetchtest
