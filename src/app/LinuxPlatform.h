#pragma once

// Builds the Linux implementations of the platform services and installs them
// for the life of this object. Services that need Qt's event loop are added
// once the application object exists.

#include "app/DesktopApplication.h"
#include "platform/json/JsonDefaultsStore.h"
#include "platform/Platform.h"
#include "platform/posix/SyslogSink.h"
#include "platform/qt/QtMainLoop.h"
#include "platform/secret/LibsecretStore.h"
#include "platform/x11/X11Permissions.h"

#include <memory>

namespace velloq {

class LinuxPlatform {
public:
    LinuxPlatform();
    ~LinuxPlatform();
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    // Adds the main queue, clock and application; call after QApplication exists.
    void attachApplication(QObject* application);
    DesktopApplication* desktop() { return desktop_.get(); }

private:
    void install();

    platform::SyslogSink log_;
    platform::JsonDefaultsStore defaults_;
    platform::LibsecretStore secrets_;
    platform::X11Permissions permissions_;
    std::unique_ptr<platform::QtMainLoop> loop_;
    std::unique_ptr<DesktopApplication> desktop_;
    platform::Services previous_;
};

} // namespace velloq
