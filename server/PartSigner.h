#pragma once

// Signed addresses for part uploads. An address names the video, the part
// number, an absolute expiry and a one-time nonce; the HMAC covers all four,
// so none can be changed without the server noticing.

#include <string>
#include <string_view>

namespace velloq::server {

struct PartGrant {
    std::string videoId;
    int partNumber = 0;
    long long expires = 0; // unix seconds
    std::string nonce;
};

enum class GrantCheck { Valid, Tampered, Expired };

class PartSigner {
public:
    // The secret lives only in memory: addresses handed out before a restart stop working.
    explicit PartSigner(std::string secret) : secret_(std::move(secret)) {}

    // The query string of the address: expires, nonce and signature.
    std::string query(const PartGrant& grant) const;

    // Checks the raw query values of an incoming PUT against the path's id and part number.
    GrantCheck verify(const PartGrant& claimed, std::string_view expiresText,
                      std::string_view signature, long long nowSeconds) const;

private:
    std::string signature(std::string_view videoId, int partNumber, std::string_view expires,
                          std::string_view nonce) const;

    std::string secret_;
};

} // namespace velloq::server
