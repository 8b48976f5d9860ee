#pragma once

// The per-user secure credential store (a Secret Service keyring on Linux).

#include "common/Expected.h"

#include <optional>
#include <string>
#include <string_view>

namespace velloq::platform {

struct SecretItem {
    std::string service;
    std::string account;
};

struct SecretError {
    enum class Kind {
        unavailable, // no credential store answers
        failed,      // the store answered with an error
    };
    Kind kind;
    std::string detail; // the store's own description; never contains the secret
};

class SecretStore {
public:
    virtual ~SecretStore() = default;
    // Adds an item holding `secret`; callers delete first to keep at most one.
    virtual Expected<void, SecretError> add(const SecretItem& item, std::string_view secret) = 0;
    // The item's bytes exactly as stored (not necessarily UTF-8), or nothing if there is none.
    virtual Expected<std::optional<std::string>, SecretError> find(const SecretItem& item) = 0;
    // Removes every item with these attributes; removing nothing is success.
    virtual Expected<void, SecretError> remove(const SecretItem& item) = 0;
};

} // namespace velloq::platform
