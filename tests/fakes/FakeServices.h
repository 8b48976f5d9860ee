#pragma once

// In-memory stand-ins for the platform services, for unit tests.

#include "platform/Application.h"
#include "platform/DefaultsStore.h"
#include "platform/Log.h"
#include "platform/Permissions.h"
#include "platform/SecretStore.h"

#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace velloq::testing {

class CapturingLog final : public platform::LogSink {
public:
    void write(std::string_view line) override;
    std::vector<std::string> lines() const;
    // How many lines contain `fragment`.
    std::size_t count(std::string_view fragment) const;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

class MemoryDefaultsStore final : public platform::DefaultsStore {
public:
    std::optional<nlohmann::json> object(std::string_view key) const override;
    Expected<void, platform::DefaultsError> set(std::string_view key,
                                                const nlohmann::json& value) override;
    Expected<void, platform::DefaultsError> remove(std::string_view key) override;

private:
    std::map<std::string, nlohmann::json, std::less<>> values_;
};

// A credential store holding a list of items, so tests can see duplicates.
class FakeSecretStore final : public platform::SecretStore {
public:
    struct Entry {
        platform::SecretItem item;
        std::string secret;
    };

    Expected<void, platform::SecretError> add(const platform::SecretItem& item,
                                              std::string_view secret) override;
    Expected<std::optional<std::string>, platform::SecretError>
    find(const platform::SecretItem& item) override;
    Expected<void, platform::SecretError> remove(const platform::SecretItem& item) override;

    std::vector<Entry> entries;
    std::optional<platform::SecretError> failWith; // every call fails while set
    bool failAdds = false;                         // only adding fails
};

class FakePermissions final : public platform::Permissions {
public:
    bool screenRecording() override;
    bool microphone() override { return microphoneGranted; }
    bool accessibility() override { return accessibilityGranted; }
    void requestScreenRecording() override;

    bool screenGranted = true;
    bool microphoneGranted = false;
    bool accessibilityGranted = false;
    std::vector<std::string>* journal = nullptr; // records calls, in order
};

class FakeApplication final : public platform::Application {
public:
    bool claimSingleInstance() override;
    void terminate() override;
    void openWindow(std::string_view) override {}
    void openURL(std::string_view url) override { openedURLs.emplace_back(url); }

    bool anotherInstanceRunning = false;
    bool terminated = false;
    std::vector<std::string> openedURLs;
    std::vector<std::string>* journal = nullptr;
};

} // namespace velloq::testing
