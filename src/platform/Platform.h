#pragma once

// The platform services the logic uses, installed once at start-up by the
// product (Linux implementations) or per test (fakes). Logic reaches them only
// through these accessors, never through a concrete backend.

#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/DefaultsStore.h"
#include "platform/Log.h"
#include "platform/MainQueue.h"
#include "platform/Permissions.h"
#include "platform/SecretStore.h"

namespace velloq::platform {

struct Services {
    LogSink* log = nullptr;
    MainQueue* mainQueue = nullptr;
    Clock* clock = nullptr;
    DefaultsStore* defaults = nullptr;
    SecretStore* secrets = nullptr;
    Permissions* permissions = nullptr;
    Application* application = nullptr;
};

// Installs the services; returns the previous set so a test can restore it.
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

} // namespace velloq::platform
