#include "feedback/VideoLink.h"

#include "common/UrlText.h"
#include "platform/Platform.h"

#include <QString>

namespace velloq {

std::optional<std::string> browserVideoLink(std::string_view text) {
    // Looser than the other links on purpose: the card opens any scheme that
    // begins with "http", in any case.
    const auto scheme = schemeOf(text);
    if (!scheme || !parsesAsURL(text) ||
        !QString::fromUtf8(scheme->data(), static_cast<qsizetype>(scheme->size()))
             .startsWith(QStringLiteral("http"), Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    return std::string(text);
}

void openVideoLink(std::string_view text) {
    if (auto link = browserVideoLink(text)) {
        platform::application().openURL(*link);
    }
}

} // namespace velloq
