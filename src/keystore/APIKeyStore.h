#pragma once

// The user's API key for the sharing service, kept in the credential store as
// one item (service "dev.ordwin.velloq", account "apiKey"). A failed save
// leaves no key, a failed load returns none. Each kind of failure is written
// to the log once; the key itself never is. The window ignores a failed
// change (the log has it); the command line reports it.

#include "common/Expected.h"
#include "platform/SecretStore.h"

#include <optional>
#include <string>
#include <string_view>

namespace velloq {

struct APIKeyStore {
    static Expected<void, platform::SecretError> saveAPIKey(std::string_view text);
    static std::optional<std::string> loadAPIKey();
    static Expected<void, platform::SecretError> deleteAPIKey();
};

// What happened to the key after an edit.
enum class APIKeyEdit { saved, deleted };

// The Settings editing rule: trim white space and line breaks from both ends;
// save what is left, or delete the key when nothing is.
Expected<APIKeyEdit, platform::SecretError> applyAPIKeyEdit(std::string_view text);

} // namespace velloq
