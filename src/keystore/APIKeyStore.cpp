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

void APIKeyStore::saveAPIKey(std::string_view text) {
    auto& store = platform::secrets();
    // Delete first so the store never holds two items; a missing item is fine.
    succeeded(store.remove(apiKeyItem()), "delete");
    succeeded(store.add(apiKeyItem(), text), "save");
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

void APIKeyStore::deleteAPIKey() {
    succeeded(platform::secrets().remove(apiKeyItem()), "delete");
}

APIKeyEdit applyAPIKeyEdit(std::string_view text) {
    const auto trimmed = trimWhitespace(text);
    if (trimmed.empty()) {
        APIKeyStore::deleteAPIKey();
        return APIKeyEdit::deleted;
    }
    APIKeyStore::saveAPIKey(trimmed);
    return APIKeyEdit::saved;
}

} // namespace velloq
