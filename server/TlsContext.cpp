#include "server/TlsContext.h"

#include <openssl/ssl.h>

namespace velloq::server {

Expected<std::unique_ptr<boost::asio::ssl::context>, Error> makeTlsContext(const TlsFiles& files) {
    namespace ssl = boost::asio::ssl;
    auto context = std::make_unique<ssl::context>(ssl::context::tls_server);
    SSL_CTX* native = context->native_handle();
    // TLS 1.3 suites are all AEAD; for 1.2, ECDHE with GCM or ChaCha20-Poly1305 only.
    static const char* const kSuites = "ECDHE-ECDSA-AES128-GCM-SHA256:ECDHE-RSA-AES128-GCM-SHA256:"
                                       "ECDHE-ECDSA-AES256-GCM-SHA384:ECDHE-RSA-AES256-GCM-SHA384:"
                                       "ECDHE-ECDSA-CHACHA20-POLY1305:ECDHE-RSA-CHACHA20-POLY1305";
    SSL_CTX_set_min_proto_version(native, TLS1_2_VERSION);
    SSL_CTX_set_options(native, SSL_OP_NO_COMPRESSION | SSL_OP_NO_RENEGOTIATION |
                                    SSL_OP_CIPHER_SERVER_PREFERENCE);
    // Idle connections give their buffers back: thousands of them stay cheap.
    SSL_CTX_set_mode(native, SSL_MODE_RELEASE_BUFFERS);
    if (SSL_CTX_set_cipher_list(native, kSuites) != 1 ||
        SSL_CTX_use_certificate_chain_file(native, files.cert.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(native, files.key.c_str(), SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_check_private_key(native) != 1) {
        return fail("cannot load the TLS certificate and key");
    }
    return context;
}

} // namespace velloq::server
