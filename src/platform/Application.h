#pragma once

#include <string_view>

namespace velloq::platform {

// The running application as the desktop sees it.
class Application {
public:
    virtual ~Application() = default;
    // Becomes the one running instance for this user; false if another holds it.
    virtual bool claimSingleInstance() = 0;
    // Ends the process through the normal quit path, so the terminate sequence runs.
    virtual void terminate() = 0;
    // Opens the scene window with this identifier, or raises it if open, and activates it.
    virtual void openWindow(std::string_view id) = 0;
    // Opens a link in the user's default browser.
    virtual void openURL(std::string_view url) = 0;
};

} // namespace velloq::platform
