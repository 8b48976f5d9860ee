#include "BenchPlatform.h"

#include <iostream>

namespace velloq::bench {

void BenchPlatform::Log::write(std::string_view line) {
    std::cerr << line << "\n";
}

BenchPlatform::BenchPlatform(std::string apiKey, platform::Http& http) {
    secrets_.key = std::move(apiKey);
    platform::Services services;
    services.log = &log_;
    services.secrets = &secrets_;
    services.http = &http;
    previous_ = platform::install(services);
}

BenchPlatform::~BenchPlatform() {
    platform::install(previous_);
}

} // namespace velloq::bench
