#pragma once

// Secrets in the Secret Service (GNOME Keyring, KWallet) through libsecret's
// synchronous calls; each call blocks the calling thread until the service answers.

#include "platform/SecretStore.h"

namespace velloq::platform {

class LibsecretStore final : public SecretStore {
public:
    Expected<void, SecretError> add(const SecretItem& item, std::string_view secret) override;
    Expected<std::optional<std::string>, SecretError> find(const SecretItem& item) override;
    Expected<void, SecretError> remove(const SecretItem& item) override;
};

} // namespace velloq::platform
