#include "ui/OpenLink.h"

#include "common/UrlText.h"
#include "platform/Platform.h"

namespace velloq {

std::optional<std::string> openableLink(std::string_view text) {
    if (!isWebURL(text)) {
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
