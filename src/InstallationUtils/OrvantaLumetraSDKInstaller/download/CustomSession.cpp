#include "download/CustomSession.h"

#include <cstdio>

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
    if (errorCode > 0) {
        char text[64];
        std::snprintf(text, sizeof(text), downloadtexts::HttpErrorStatus, static_cast<int>(errorCode));
        return text;
    }
    return downloadtexts::UnexpectedError;
}

}  // namespace download
