#include "platform/secret/LibsecretStore.h"

#include <libsecret/secret.h>
#include <memory>

namespace velloq::platform {
namespace {

// Items are matched on exactly these two attributes, like a generic password.
const SecretSchema* schema() {
    static const SecretSchema value = {
        "dev.ordwin.velloq.Credential",
        SECRET_SCHEMA_NONE,
        {
            {"service", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING},
        },
        0,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
    };
    return &value;
}

struct ErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;

struct ValueUnref {
    void operator()(SecretValue* value) const { secret_value_unref(value); }
};
using ValuePtr = std::unique_ptr<SecretValue, ValueUnref>;

SecretError toSecretError(const ErrorPtr& error) {
    const bool noService = error->domain == G_DBUS_ERROR || error->domain == G_IO_ERROR ||
                           error->domain == G_SPAWN_ERROR;
    return {noService ? SecretError::Kind::unavailable : SecretError::Kind::failed,
            error->message != nullptr ? error->message : "unknown error"};
}

} // namespace

Expected<void, SecretError> LibsecretStore::add(const SecretItem& item, std::string_view secret) {
    // The secret travels as a counted value, so it needs no terminator and may hold any byte.
    ValuePtr value(
        secret_value_new(secret.data(), static_cast<gssize>(secret.size()), "text/plain"));
    GError* raw = nullptr;
    const std::string label = item.service + " " + item.account;
    secret_password_store_binary_sync(schema(), SECRET_COLLECTION_DEFAULT, label.c_str(),
                                      value.get(), nullptr, &raw, "service", item.service.c_str(),
                                      "account", item.account.c_str(), nullptr);
    ErrorPtr error(raw);
    if (error) {
        return Unexpected(toSecretError(error));
    }
    return {};
}

Expected<std::optional<std::string>, SecretError> LibsecretStore::find(const SecretItem& item) {
    GError* raw = nullptr;
    ValuePtr value(secret_password_lookup_binary_sync(schema(), nullptr, &raw, "service",
                                                      item.service.c_str(), "account",
                                                      item.account.c_str(), nullptr));
    ErrorPtr error(raw);
    if (error) {
        return Unexpected(toSecretError(error));
    }
    if (!value) {
        return std::optional<std::string>();
    }
    gsize length = 0;
    const gchar* bytes = secret_value_get(value.get(), &length);
    return std::optional<std::string>(std::string(bytes, length));
}

Expected<void, SecretError> LibsecretStore::remove(const SecretItem& item) {
    GError* raw = nullptr;
    secret_password_clear_sync(schema(), nullptr, &raw, "service", item.service.c_str(), "account",
                               item.account.c_str(), nullptr);
    ErrorPtr error(raw);
    if (error) {
        return Unexpected(toSecretError(error));
    }
    return {};
}

} // namespace velloq::platform
