#pragma once

// The API keys the server accepts. Only digests are kept, and every check
// compares against all of them, so neither memory dumps nor timing reveal a key.

#include "server/Crypto.h"
#include "server/Error.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velloq::server {

struct KeyEntry {
    std::string key;
    bool enabled = true;
};

// Keys are bearer tokens: letters, digits and -._~+/ with optional trailing '='.
bool isValidKey(std::string_view key);

// One key per line, optionally followed by the word "disabled"; '#' starts a comment.
// Errors name the line, never the key.
Expected<std::vector<KeyEntry>, Error> parseKeyFile(std::string_view text);
Expected<std::vector<KeyEntry>, Error> loadKeyFile(const std::filesystem::path& path);

enum class AuthOutcome { Granted, Missing, Malformed, Unknown, Disabled };

struct AuthResult {
    AuthOutcome outcome = AuthOutcome::Missing;
    std::size_t keyIndex = 0; // which key, when granted
};

class KeyRing {
public:
    explicit KeyRing(const std::vector<KeyEntry>& entries);

    // `headerCount` is how many Authorization headers the request carried.
    AuthResult check(std::size_t headerCount, std::string_view headerValue) const;
    std::size_t size() const { return keys_.size(); }

private:
    struct Stored {
        Sha256Digest digest;
        bool enabled;
    };
    std::vector<Stored> keys_;
};

} // namespace velloq::server
