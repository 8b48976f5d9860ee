#pragma once

#include "platform/ImageClipboard.h"

#include <string>
#include <vector>

namespace velloq::testing {

// Keeps every image put on the clipboard, as PNG bytes, in order.
class FakeImageClipboard final : public platform::ImageClipboard {
public:
    void setImage(std::span<const std::byte> png) override {
        images.emplace_back(reinterpret_cast<const char*>(png.data()), png.size());
    }
    std::vector<std::string> images;
};

} // namespace velloq::testing
