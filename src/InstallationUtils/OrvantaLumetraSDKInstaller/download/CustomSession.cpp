#include "download/CustomSession.h"

#include <string>

#include "download/DownloadTexts.h"

namespace download {

CCustomSession::CCustomSession(platform::Http& http) : session_(http.openSession(SessionUserAgent)) {}

std::string fetchErrorText(int32_t errorCode) {
    switch (errorCode) {
        case fetchcode::InvalidUrl: return downloadtexts::InvalidUrl;
        case fetchcode::NotHttp: return downloadtexts::NoHttpService;
        case fetchcode::LoginRejected: return downloadtexts::LoginRejected;
        case fetchcode::Redirection: return downloadtexts::ServerRedirection;
        case fetchcode::InsufficientBuffers: return downloadtexts::InsufficientBuffers;
        default: break;
    }
    if (errorCode > 0) return httpStatusText(static_cast<uint32_t>(errorCode));
    return downloadtexts::UnexpectedError;
}

std::string httpStatusText(uint32_t status) {
    std::string text = downloadtexts::HttpErrorStatus;
    std::size_t mark = text.find("%d");
    if (mark != std::string::npos) text.replace(mark, 2, std::to_string(status));
    return text;
}

}  // namespace download
