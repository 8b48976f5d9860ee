#include "fakes/FakeServices.h"

#include <algorithm>

namespace velloq::testing {

void CapturingLog::write(std::string_view line) {
    std::lock_guard lock(mutex_);
    lines_.emplace_back(line);
}

std::vector<std::string> CapturingLog::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::size_t CapturingLog::count(std::string_view fragment) const {
    std::lock_guard lock(mutex_);
    return std::size_t(std::count_if(lines_.begin(), lines_.end(), [&](const auto& line) {
        return line.find(fragment) != std::string::npos;
    }));
}

std::optional<nlohmann::json> MemoryDefaultsStore::object(std::string_view key) const {
    auto found = values_.find(key);
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}

Expected<void, platform::DefaultsError> MemoryDefaultsStore::set(std::string_view key,
                                                                 const nlohmann::json& value) {
    values_[std::string(key)] = value;
    return {};
}

Expected<void, platform::DefaultsError> MemoryDefaultsStore::remove(std::string_view key) {
    if (auto found = values_.find(key); found != values_.end()) {
        values_.erase(found);
    }
    return {};
}

namespace {
bool same(const platform::SecretItem& a, const platform::SecretItem& b) {
    return a.service == b.service && a.account == b.account;
}
} // namespace

Expected<void, platform::SecretError> FakeSecretStore::add(const platform::SecretItem& item,
                                                           std::string_view secret) {
    if (failWith) {
        return Unexpected(*failWith);
    }
    if (failAdds) {
        return Unexpected(platform::SecretError{platform::SecretError::Kind::failed, "refused"});
    }
    entries.push_back({item, std::string(secret)});
    return {};
}

Expected<std::optional<std::string>, platform::SecretError>
FakeSecretStore::find(const platform::SecretItem& item) {
    if (failWith) {
        return Unexpected(*failWith);
    }
    for (const auto& entry : entries) {
        if (same(entry.item, item)) {
            return std::optional<std::string>(entry.secret);
        }
    }
    return std::optional<std::string>();
}

Expected<void, platform::SecretError> FakeSecretStore::remove(const platform::SecretItem& item) {
    if (failWith) {
        return Unexpected(*failWith);
    }
    std::erase_if(entries, [&](const Entry& entry) { return same(entry.item, item); });
    return {};
}

bool FakePermissions::screenRecording() {
    if (journal != nullptr) {
        journal->push_back("screenRecording?");
    }
    return screenGranted;
}

void FakePermissions::requestScreenRecording() {
    if (journal != nullptr) {
        journal->push_back("requestScreenRecording");
    }
}

bool FakeApplication::claimSingleInstance() {
    if (journal != nullptr) {
        journal->push_back("claimSingleInstance");
    }
    return !anotherInstanceRunning;
}

void FakeApplication::terminate() {
    if (journal != nullptr) {
        journal->push_back("terminate");
    }
    terminated = true;
}

} // namespace velloq::testing
