// The JSON bodies of sign-part and complete.

#include "server/JsonBody.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velloq::server;
    std::string_view body(reinterpret_cast<const char*>(data), size);
    if (auto part = parseSignPartBody(body); part && (*part < 1 || *part > kMaxPartNumber)) {
        std::abort();
    }
    if (auto done = parseCompleteBody(body);
        done && done->parts.size() > static_cast<std::size_t>(kMaxPartNumber)) {
        std::abort();
    }
    return 0;
}
