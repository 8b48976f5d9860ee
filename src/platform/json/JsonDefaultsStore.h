#pragma once

// The defaults store as one JSON object in a file. Every read goes to the
// file; every write replaces it atomically, so a crash mid-write leaves either
// the old or the new settings, never a torn file.

#include "platform/DefaultsStore.h"
#include "platform/Log.h"

#include <filesystem>
#include <mutex>

namespace velloq::platform {

class JsonDefaultsStore final : public DefaultsStore {
public:
    explicit JsonDefaultsStore(std::filesystem::path file);

    // $XDG_CONFIG_HOME/velloq/settings.json, or ~/.config/velloq/settings.json
    // when that variable is unset, empty or not absolute.
    static std::filesystem::path defaultPath();

    std::optional<nlohmann::json> object(std::string_view key) const override;
    Expected<void, DefaultsError> set(std::string_view key, const nlohmann::json& value) override;
    Expected<void, DefaultsError> remove(std::string_view key) override;

    const std::filesystem::path& path() const { return file_; }

private:
    struct Snapshot;
    Snapshot load() const;
    Expected<void, DefaultsError> update(std::string_view key, const nlohmann::json* value);
    Expected<void, DefaultsError> keepCorruptCopy();
    Expected<void, DefaultsError> replaceFile(const std::string& contents);

    std::filesystem::path file_;
    mutable std::mutex mutex_;
    mutable FailureLog failures_;
};

} // namespace velloq::platform
