#include "net/ServiceURL.h"

#include <cstdlib>

#ifndef VELLOQ_SERVICE_URL
#error "VELLOQ_SERVICE_URL must name the service's base URL at build time"
#endif

namespace velloq {

std::string serviceBaseURL() {
    std::string base = VELLOQ_SERVICE_URL;
    if (const char* override = std::getenv("VELLOQ_SERVICE_URL");
        override != nullptr && *override != '\0') {
        base = override;
    }
    // Paths are appended as text; a slash typed at the end would double up.
    while (base.ends_with('/')) {
        base.pop_back();
    }
    return base;
}

} // namespace velloq
