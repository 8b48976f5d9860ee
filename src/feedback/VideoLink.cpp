#include "feedback/VideoLink.h"

#include "platform/Platform.h"

#include <QString>
#include <QUrl>

namespace velloq {

std::optional<std::string> browserVideoLink(std::string_view text) {
    const QUrl url(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                   QUrl::StrictMode);
    if (!url.isValid() || !url.scheme().startsWith(QStringLiteral("http"))) {
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
