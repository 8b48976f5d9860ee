#pragma once

#include "platform/Clipboard.h"

namespace velloq::platform {

// The CLIPBOARD selection, owned by the application for as long as it runs.
// An image is offered as the PNG bytes it came as ("image/png") and decoded in
// the other formats Qt converts to, so any application can paste it.
class QtClipboard final : public Clipboard {
public:
    void setText(std::string_view text) override;
    void setImage(std::span<const std::byte> png) override;
};

} // namespace velloq::platform
