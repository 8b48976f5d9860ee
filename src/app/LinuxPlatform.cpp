#include "app/LinuxPlatform.h"

#include <cstdlib>
#include <cstring>
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
    : log_(logToStderr()), defaults_(platform::JsonDefaultsStore::defaultPath()) {
    previous_ = platform::installed();
    install();
}

LinuxPlatform::~LinuxPlatform() {
    platform::install(previous_);
}

void LinuxPlatform::attachApplication(QObject* application) {
    loop_ = std::make_unique<platform::QtMainLoop>(application);
    desktop_ = std::make_unique<DesktopApplication>(platform::InstanceLock::defaultPath());
    install();
}

void LinuxPlatform::install() {
    platform::Services services;
    services.log = &log_;
    services.defaults = &defaults_;
    services.secrets = &secrets_;
    services.permissions = &permissions_;
    services.mainQueue = loop_.get();
    services.clock = loop_.get();
    services.application = desktop_.get();
    platform::install(services);
}

} // namespace velloq
