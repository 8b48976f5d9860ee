#pragma once

// The user's API key for the sharing service, kept in the credential store as
// one item (service "dev.ordwin.velloq", account "apiKey"). Failures are never
// reported to callers: a failed save leaves no key, a failed load returns none.
// Each kind of failure is written to the log once; the key itself never is.

#include <optional>
#include <string>
#include <string_view>

namespace velloq {

struct APIKeyStore {
    static void saveAPIKey(std::string_view text);
    static std::optional<std::string> loadAPIKey();
    static void deleteAPIKey();
};

// What happened to the key after an edit.
enum class APIKeyEdit { saved, deleted };

// The Settings editing rule: trim white space and line breaks from both ends;
// save what is left, or delete the key when nothing is.
APIKeyEdit applyAPIKeyEdit(std::string_view text);

} // namespace velloq
