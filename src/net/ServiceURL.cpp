#include "net/ServiceURL.h"

#include <cstdlib>
#include <QString>
#include <QUrl>

#ifndef VELLOQ_SERVICE_URL
#error "VELLOQ_SERVICE_URL must name the service's base URL at build time"
#endif

namespace velloq {

std::string serviceBaseURL() {
    std::string base = VELLOQ_SERVICE_URL;
    if (const char* override = std::getenv("VELLOQ_SERVICE_URL");
        override != nullptr && *override != '\0') {
        base = override;
    }
    // Paths are appended as text; a slash typed at the end would double up.
    while (base.ends_with('/')) {
        base.pop_back();
    }
    return base;
}

std::optional<std::string_view> schemeOf(std::string_view text) {
    const auto isAlpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || !isAlpha(text.front())) {
        return std::nullopt;
    }
    for (char c : text.substr(0, colon)) {
        if (!isAlpha(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') {
            return std::nullopt;
        }
    }
    return text.substr(0, colon);
}

bool parsesAsURL(std::string_view text) {
    if (!schemeOf(text)) {
        return false;
    }
    const QUrl url(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                   QUrl::StrictMode);
    return url.isValid() && !url.isRelative();
}

bool isHTTPSURL(std::string_view text) {
    // QUrl lower-cases schemes, so the comparison is on the text as written.
    return parsesAsURL(text) && schemeOf(text) == "https";
}

} // namespace velloq
