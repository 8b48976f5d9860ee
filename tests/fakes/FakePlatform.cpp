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
    previous_ = platform::install(services);
}

FakePlatform::~FakePlatform() {
    platform::install(previous_);
}

} // namespace velloq::testing
