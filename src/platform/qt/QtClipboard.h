#pragma once

#include "platform/Clipboard.h"

namespace velloq::platform {

// The CLIPBOARD selection, owned by the application for as long as it runs.
class QtClipboard final : public Clipboard {
public:
    void setText(std::string_view text) override;
};

} // namespace velloq::platform
