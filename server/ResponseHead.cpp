#include "server/ResponseHead.h"

// Boost 1.74's status.hpp uses std::ostream without including it.
#include <boost/beast/http/status.hpp>
#include <ostream>

namespace velloq::server {

bool hasBody(int status) {
    return status >= 200 && status != 204 && status != 304;
}

std::string responseHead(const Response& res, bool) {
    namespace http = boost::beast::http;
    const auto reason =
        http::obsolete_reason(http::int_to_status(static_cast<unsigned>(res.status)));
    std::string out = "HTTP/1.1 " + std::to_string(res.status) + " " + std::string(reason) + "\r\n";
    for (const auto& [name, value] : res.headers) {
        if (equalsIgnoringCase(name, "Content-Length") || equalsIgnoringCase(name, "Connection") ||
            equalsIgnoringCase(name, "Transfer-Encoding") ||
            equalsIgnoringCase(name, "Content-Type")) {
            continue;
        }
        out += name + ": " + value + "\r\n";
    }
    if (hasBody(res.status)) {
        if (!res.contentType.empty()) {
            out += "Content-Type: " + res.contentType + "\r\n";
        }
        out += "Content-Length: " + std::to_string(res.bodySize()) + "\r\n";
    }
    if (res.close) {
        out += "Connection: close\r\n";
    }
    return out + "\r\n";
}

} // namespace velloq::server
