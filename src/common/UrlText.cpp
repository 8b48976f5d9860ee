#include "common/UrlText.h"

#include <QString>
#include <QUrl>

namespace velloq {
namespace {

QUrl strictURL(std::string_view text) {
    return QUrl(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                QUrl::StrictMode);
}

} // namespace

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
    const QUrl url = strictURL(text);
    return url.isValid() && !url.isRelative();
}

bool isWebURL(std::string_view text) {
    const auto scheme = schemeOf(text);
    return (scheme == "https" || scheme == "http") && parsesAsURL(text) &&
           !strictURL(text).host().isEmpty();
}

bool isHTTPSURL(std::string_view text) {
    return schemeOf(text) == "https" && parsesAsURL(text);
}

} // namespace velloq
