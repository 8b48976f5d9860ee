#include "keystore/APIKeyStore.h"

#include "common/Utf8.h"
#include "platform/Platform.h"

namespace velloq {
namespace {

const platform::SecretItem& apiKeyItem() {
    static const platform::SecretItem item{"dev.ordwin.velloq", "apiKey"};
    return item;
}

FailureLog& failures() {
    static FailureLog log;
    return log;
}

// Logs the failure's kind and the store's own words; the key is never part of either.
template <class Result> bool succeeded(const Result& result, const char* operation) {
    // Written once per kind until the store works again.
    using Kind = platform::SecretError::Kind;
    if (result) {
        failures().clear("unavailable");
        failures().clear(operation);
        return true;
    }
    const auto& error = result.error();
    if (error.kind == Kind::unavailable) {
        failures().report("unavailable", "Velloq: credential store unavailable — " + error.detail);
    } else {
        failures().report(operation, std::string("Velloq: could not ") + operation +
                                         " the API key — " + error.detail);
    }
    return false;
}

} // namespace

Expected<void, platform::SecretError> APIKeyStore::saveAPIKey(std::string_view text) {
    auto& store = platform::secrets();
    // Delete first so the store never holds two items; a missing item is fine.
    auto removed = store.remove(apiKeyItem());
    const bool removedOld = succeeded(removed, "delete");
    auto added = store.add(apiKeyItem(), text);
    succeeded(added, "save");
    return removedOld ? added : removed;
}

std::optional<std::string> APIKeyStore::loadAPIKey() {
    auto found = platform::secrets().find(apiKeyItem());
    if (!succeeded(found, "read") || !found->has_value()) {
        return std::nullopt;
    }
    if (!isValidUtf8(**found)) {
        return std::nullopt;
    }
    return std::move(*found).value();
}

Expected<void, platform::SecretError> APIKeyStore::deleteAPIKey() {
    auto removed = platform::secrets().remove(apiKeyItem());
    succeeded(removed, "delete");
    return removed;
}

Expected<APIKeyEdit, platform::SecretError> applyAPIKeyEdit(std::string_view text) {
    const auto trimmed = trimWhitespace(text);
    const bool deleting = trimmed.empty();
    const auto result = deleting ? APIKeyStore::deleteAPIKey() : APIKeyStore::saveAPIKey(trimmed);
    if (!result) {
        return Unexpected(result.error());
    }
    return deleting ? APIKeyEdit::deleted : APIKeyEdit::saved;
}

} // namespace velloq
