#pragma once

#include "platform/Clipboard.h"

namespace velloq::platform {

// The CLIPBOARD selection, owned by the application for as long as it runs.
// When the application object is destroyed, Qt's X11 backend hands what it
// owns to the clipboard manager (the CLIPBOARD_MANAGER selection's owner asked
// for SAVE_TARGETS) and waits for it to take the copy, so the process must end
// through the application's normal teardown, never by a bare exit.
// An image is offered as the PNG bytes it came as ("image/png") and decoded in
// the other formats Qt converts to, so any application can paste it.
class QtClipboard final : public Clipboard {
public:
    void setText(std::string_view text) override;
    void setImage(std::span<const std::byte> png) override;
};

} // namespace velloq::platform
