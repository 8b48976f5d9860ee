#include "app/OpenLink.h"

#include "platform/Platform.h"

#include <QString>
#include <QUrl>

namespace velloq {

std::optional<std::string> openableLink(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    // QUrl lower-cases the scheme, so compare it as the text spells it.
    const auto scheme = text.substr(0, colon);
    if (scheme != "https" && scheme != "http") {
        return std::nullopt;
    }
    const QUrl url(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                   QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return std::nullopt;
    }
    return std::string(text);
}

void openLink(std::string_view text) {
    if (auto link = openableLink(text)) {
        platform::application().openURL(*link);
    }
}

} // namespace velloq
