#pragma once

// The few primitives the server needs from OpenSSL: unpredictable ids,
// part checksums, key digests and the signature of part addresses.

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct evp_md_ctx_st;

namespace velloq::server {

// Lower-case hex of `bytes` random bytes from the CSPRNG; nullopt if it fails.
std::optional<std::string> randomHex(std::size_t bytes);

using Sha256Digest = std::array<unsigned char, 32>;
Sha256Digest sha256(std::string_view data);

std::string hmacSha256Hex(std::string_view key, std::string_view message);

// Compares without an early exit, so timing tells nothing about where two secrets differ.
bool constantTimeEqual(std::string_view a, std::string_view b);

bool isLowerHex(std::string_view text, std::size_t length);

// Incremental MD5, used only for S3-style part ETags (not for security).
class Md5 {
public:
    Md5();
    ~Md5();
    Md5(const Md5&) = delete;
    Md5& operator=(const Md5&) = delete;

    void update(const char* data, std::size_t size);
    std::string hexDigest();

private:
    evp_md_ctx_st* ctx_;
};

} // namespace velloq::server
