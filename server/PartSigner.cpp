#include "server/PartSigner.h"

#include "server/Crypto.h"

#include <charconv>

namespace velloq::server {

std::string PartSigner::signature(std::string_view videoId, int partNumber,
                                  std::string_view expires, std::string_view nonce) const {
    std::string message = "velloq-part\n";
    message.append(videoId).append("\n").append(std::to_string(partNumber)).append("\n");
    message.append(expires).append("\n").append(nonce);
    return hmacSha256Hex(secret_, message);
}

std::string PartSigner::query(const PartGrant& grant) const {
    std::string expires = std::to_string(grant.expires);
    return "expires=" + expires + "&nonce=" + grant.nonce +
           "&sig=" + signature(grant.videoId, grant.partNumber, expires, grant.nonce);
}

GrantCheck PartSigner::verify(const PartGrant& claimed, std::string_view expiresText,
                              std::string_view sig, long long nowSeconds) const {
    std::string expected =
        signature(claimed.videoId, claimed.partNumber, expiresText, claimed.nonce);
    if (!constantTimeEqual(expected, sig)) {
        return GrantCheck::Tampered;
    }
    long long expires = 0;
    auto [end, ec] =
        std::from_chars(expiresText.data(), expiresText.data() + expiresText.size(), expires);
    if (ec != std::errc{} || end != expiresText.data() + expiresText.size()) {
        return GrantCheck::Tampered;
    }
    return nowSeconds < expires ? GrantCheck::Valid : GrantCheck::Expired;
}

} // namespace velloq::server
