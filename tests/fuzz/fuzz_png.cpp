// The upload check: the streamed header test and the full decode.

#include "server/PngCheck.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velloq::server;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (velloq::server::decodesAsPng(bytes) && !isPngHeader(bytes)) {
        std::abort(); // a whole PNG whose start the streaming check refuses
    }
    return 0;
}
