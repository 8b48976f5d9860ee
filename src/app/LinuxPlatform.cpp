#include "app/LinuxPlatform.h"

#include "net/TaskPool.h"
#include "platform/qt/QtFloatingWindows.h"
#include "platform/qt/QtScreenScale.h"
#include "platform/qt/QtWorkArea.h"
#include "platform/x11/X11FloatingWindows.h"
#include "platform/x11/X11WorkArea.h"

#include <cstdlib>
#include <cstring>
#include <QGuiApplication>
#include <unistd.h>

namespace velloq {
namespace {

// Scripts and terminals see the log too; a desktop session only has syslog.
bool logToStderr() {
    const char* flag = std::getenv("VELLOQ_LOG_STDERR");
    if (flag != nullptr && *flag != '\0') {
        return std::strcmp(flag, "0") != 0;
    }
    return ::isatty(STDERR_FILENO) == 1;
}

} // namespace

LinuxPlatform::LinuxPlatform()
    : log_(logToStderr()), defaults_(platform::JsonDefaultsStore::defaultPath()),
      screens_(platform::qtScreenScale) {
    previous_ = platform::installed();
    install();
}

LinuxPlatform::~LinuxPlatform() {
    stopWorkers();
    platform::install(previous_);
}

void LinuxPlatform::stopWorkers() {
    // Requests still out end now, and the workers are joined while the
    // services they report to still exist.
    http_.close();
    TaskPool::shared().shutdown();
}

void LinuxPlatform::attachApplication(QObject* application) {
    loop_ = std::make_unique<platform::QtMainLoop>(application);
    desktop_ = std::make_unique<DesktopApplication>(platform::InstanceLock::defaultPath());
    if (QGuiApplication::platformName() == "xcb") {
        floatingWindows_ = std::make_unique<platform::X11FloatingWindows>();
        workArea_ = std::make_unique<platform::X11WorkArea>(platform::qtScreenScale);
    } else {
        floatingWindows_ = std::make_unique<platform::QtFloatingWindows>();
        workArea_ = std::make_unique<platform::QtWorkArea>();
    }
    install();
}

void LinuxPlatform::install() {
    platform::Services services;
    services.log = &log_;
    services.http = &http_;
    services.defaults = &defaults_;
    services.secrets = &secrets_;
    services.permissions = &permissions_;
    services.mainQueue = loop_.get();
    services.clock = loop_.get();
    services.application = desktop_.get();
    services.files = &files_;
    services.screens = &screens_;
    services.sound = &sound_;
    if (loop_) { // the desktop services below need the application object
        services.clipboard = &clipboard_;
        services.savePanel = &savePanel_;
        services.hotkeys = &hotkeys_;
        services.workArea = workArea_.get();
        services.floatingWindows = floatingWindows_.get();
    }
    platform::install(services);
}

} // namespace velloq
