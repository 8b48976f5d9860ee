// The Range header against a file size taken from the input.

#include "server/Ranges.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velloq::server;
    if (size < 8) {
        return 0;
    }
    std::uint64_t fileSize = 0;
    std::memcpy(&fileSize, data, 8);
    fileSize %= std::uint64_t{1} << 48;
    std::string_view header(reinterpret_cast<const char*>(data) + 8, size - 8);
    const RangeChoice choice = chooseRange(header, fileSize);
    switch (choice.outcome) {
    case RangeOutcome::Whole:
        if (choice.first != 0 || choice.length != fileSize) {
            std::abort();
        }
        break;
    case RangeOutcome::Partial:
        if (choice.length == 0 || choice.first >= fileSize ||
            choice.length > fileSize - choice.first) {
            std::abort(); // a range outside the file
        }
        break;
    case RangeOutcome::Unsatisfiable:
        break;
    }
    return 0;
}
