#pragma once

#include "platform/ImageClipboard.h"

namespace velloq::platform {

// Offers the PNG bytes as they are ("image/png") and the decoded image in the
// other formats Qt converts to, so any application can paste it.
class QtImageClipboard final : public ImageClipboard {
public:
    void setImage(std::span<const std::byte> png) override;
};

} // namespace velloq::platform
