#pragma once

// The platform services the logic uses, installed once at start-up by the
// product (Linux implementations) or per test (fakes). Logic reaches them only
// through these accessors, never through a concrete backend.

#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/DefaultsStore.h"
#include "platform/Files.h"
#include "platform/FloatingWindows.h"
#include "platform/Hotkeys.h"
#include "platform/Http.h"
#include "platform/Log.h"
#include "platform/MainQueue.h"
#include "platform/Permissions.h"
#include "platform/SavePanel.h"
#include "platform/Screens.h"
#include "platform/SecretStore.h"
#include "platform/Sound.h"
#include "platform/WorkArea.h"

namespace velloq::platform {

struct Services {
    LogSink* log = nullptr;
    MainQueue* mainQueue = nullptr;
    Clock* clock = nullptr;
    DefaultsStore* defaults = nullptr;
    SecretStore* secrets = nullptr;
    Permissions* permissions = nullptr;
    Application* application = nullptr;
    Clipboard* clipboard = nullptr;
    SavePanel* savePanel = nullptr;
    Files* files = nullptr;
    WorkArea* workArea = nullptr;
    FloatingWindows* floatingWindows = nullptr;
    Screens* screens = nullptr;
    Http* http = nullptr;
    Sound* sound = nullptr;
    Hotkeys* hotkeys = nullptr;
};

// Installs the services; returns the previous set so a test can restore it.
// Only the thread that installed first (the main thread) may install again.
// Each installed set is immutable and lives until the process ends, so a
// worker that reads the services never races an install.
Services install(const Services& services);
const Services& installed();

// Each accessor aborts with a message if its service was never installed:
// that is a wiring mistake, not a runtime condition.
MainQueue& mainQueue();
Clock& clock();
DefaultsStore& defaults();
SecretStore& secrets();
Permissions& permissions();
Application& application();
Clipboard& clipboard();
SavePanel& savePanel();
Files& files();
WorkArea& workArea();
FloatingWindows& floatingWindows();
Screens& screens();
Http& http();
Sound& sound();
Hotkeys& hotkeys();

} // namespace velloq::platform
