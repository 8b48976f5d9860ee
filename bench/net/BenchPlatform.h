#pragma once

// The few platform services the client needs outside the product: a log on
// standard error, an API key held in memory, and a given HTTP service.

#include "platform/Platform.h"

#include <string>

namespace velloq::bench {

class BenchPlatform {
public:
    BenchPlatform(std::string apiKey, platform::Http& http);
    ~BenchPlatform();

private:
    struct Log final : platform::LogSink {
        void write(std::string_view line) override;
    };
    struct Secrets final : platform::SecretStore {
        std::string key;
        Expected<void, platform::SecretError> add(const platform::SecretItem&,
                                                  std::string_view) override {
            return {};
        }
        Expected<std::optional<std::string>, platform::SecretError>
        find(const platform::SecretItem&) override {
            return std::optional<std::string>(key);
        }
        Expected<void, platform::SecretError> remove(const platform::SecretItem&) override {
            return {};
        }
    };

    Log log_;
    Secrets secrets_;
    platform::Services previous_;
};

} // namespace velloq::bench
