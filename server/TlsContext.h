#pragma once

// The server's TLS settings: 1.2 and 1.3 only, forward-secret AEAD suites only.

#include "server/Error.h"
#include "server/HttpServer.h"

#include <boost/asio/ssl/context.hpp>
#include <memory>

namespace velloq::server {

Expected<std::unique_ptr<boost::asio::ssl::context>, Error> makeTlsContext(const TlsFiles& files);

} // namespace velloq::server
