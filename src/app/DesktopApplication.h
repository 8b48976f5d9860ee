#pragma once

// The running application on a Linux desktop: the per-user instance lock,
// Qt's quit path, the scene windows and the desktop's link handler.

#include "app/SceneWindows.h"
#include "platform/Application.h"
#include "platform/posix/InstanceLock.h"

namespace velloq {

class DesktopApplication final : public platform::Application {
public:
    explicit DesktopApplication(std::filesystem::path lockFile);

    bool claimSingleInstance() override;
    void terminate() override;
    void openWindow(std::string_view id) override;
    void openURL(std::string_view url) override;

    SceneWindows& windows() { return windows_; }

private:
    platform::InstanceLock lock_;
    SceneWindows windows_;
};

} // namespace velloq
