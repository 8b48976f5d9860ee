#include "platform/curl/CurlErrors.h"

#include <cerrno>

namespace velloq::platform {
namespace {

using Kind = TransportErrorKind;

// libcurl result → the kinds users are told apart:
//   COULDNT_RESOLVE_HOST                         → cannotFindHost
//   COULDNT_RESOLVE_PROXY                        → dnsLookupFailed
//   COULDNT_CONNECT with ENETUNREACH / ENETDOWN  → notConnectedToInternet
//   COULDNT_CONNECT otherwise                    → cannotConnectToHost
//   OPERATION_TIMEDOUT                           → timedOut
//   SEND_ERROR, RECV_ERROR, GOT_NOTHING, PARTIAL_FILE, HTTP2(_STREAM)
//                                                → networkConnectionLost
//   SSL_CONNECT_ERROR, PEER_FAILED_VERIFICATION, SSL_CERTPROBLEM,
//   SSL_CIPHER, SSL_CACERT_BADFILE, SSL_ISSUER_ERROR, SSL_PINNEDPUBKEYNOTMATCH,
//   SSL_INVALIDCERTSTATUS, SSL_CRL_BADFILE, SSL_SHUTDOWN_FAILED, USE_SSL_FAILED
//                                                → secureConnectionFailed
//   UNSUPPORTED_PROTOCOL, URL_MALFORMAT          → badURL
//   everything else                              → other
// Idle limits and cancel flags are checked by our own progress callback; its
// aborts are told apart by the caller before this mapping is consulted.
Kind kindFor(CURLcode code, long osErrno) {
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return Kind::cannotFindHost;
    case CURLE_COULDNT_RESOLVE_PROXY:
        return Kind::dnsLookupFailed;
    case CURLE_COULDNT_CONNECT:
        return osErrno == ENETUNREACH || osErrno == ENETDOWN ? Kind::notConnectedToInternet
                                                             : Kind::cannotConnectToHost;
    case CURLE_OPERATION_TIMEDOUT:
        return Kind::timedOut;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
        return Kind::networkConnectionLost;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_USE_SSL_FAILED:
        return Kind::secureConnectionFailed;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        return Kind::badURL;
    default:
        return Kind::other;
    }
}

} // namespace

TransportError transportErrorFor(CURLcode code, long osErrno, const char* detail) {
    TransportError error;
    error.kind = kindFor(code, osErrno);
    error.description = detail != nullptr && *detail != '\0' ? detail : curl_easy_strerror(code);
    return error;
}

} // namespace velloq::platform
