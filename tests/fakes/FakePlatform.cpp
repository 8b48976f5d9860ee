#include "fakes/FakePlatform.h"

namespace velloq::testing {

FakePlatform::FakePlatform() {
    platform::Services services;
    services.log = &log;
    services.mainQueue = &loop;
    services.clock = &loop;
    services.defaults = &defaults;
    services.secrets = &secrets;
    services.permissions = &permissions;
    services.application = &application;
    services.clipboard = &clipboard;
    services.savePanel = &savePanel;
    services.files = &files;
    services.workArea = &workArea;
    services.floatingWindows = &floatingWindows;
    services.screens = &screens;
    services.http = &http;
    services.sound = &sound;
    services.hotkeys = &hotkeys;
    previous_ = platform::install(services);
}

FakePlatform::~FakePlatform() {
    platform::install(previous_);
}

} // namespace velloq::testing
