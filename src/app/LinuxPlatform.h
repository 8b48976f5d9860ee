#pragma once

// Builds the Linux implementations of the platform services and installs them
// for the life of this object. Services that need Qt's event loop are added
// once the application object exists.

#include "app/DesktopApplication.h"
#include "platform/canberra/CanberraSound.h"
#include "platform/curl/CurlHttp.h"
#include "platform/json/JsonDefaultsStore.h"
#include "platform/Platform.h"
#include "platform/posix/PosixFiles.h"
#include "platform/posix/SyslogSink.h"
#include "platform/pulse/PulseProbe.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtMainLoop.h"
#include "platform/qt/QtSavePanel.h"
#include "platform/secret/LibsecretStore.h"
#include "platform/x11/X11Hotkeys.h"
#include "platform/x11/X11Permissions.h"
#include "platform/x11/X11Screens.h"

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
    // Ends requests still out and joins the workers; safe to call twice.
    void stopWorkers();
    DesktopApplication* desktop() { return desktop_.get(); }

private:
    void install();

    platform::SyslogSink log_;
    platform::CurlHttp http_{platform::CurlHttp::extraCAFromEnvironment()};
    platform::JsonDefaultsStore defaults_;
    platform::LibsecretStore secrets_;
    platform::X11Permissions permissions_{platform::microphoneAvailable};
    platform::X11Screens screens_;
    platform::PosixFiles files_;
    platform::QtClipboard clipboard_;
    platform::QtSavePanel savePanel_;
    platform::CanberraSound sound_;
    platform::X11Hotkeys hotkeys_;
    std::unique_ptr<platform::WorkArea> workArea_;
    std::unique_ptr<platform::FloatingWindows> floatingWindows_;
    std::unique_ptr<platform::QtMainLoop> loop_;
    std::unique_ptr<DesktopApplication> desktop_;
    platform::Services previous_;
};

} // namespace velloq
