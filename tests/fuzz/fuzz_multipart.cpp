// The multipart reader: a Content-Type line, then a body fed in pieces whose
// sizes the input chooses.

#include "server/Multipart.h"

#include <cstdint>
#include <cstdlib>

namespace {

using namespace velloq::server;

class CheckingSink final : public PartSink {
public:
    bool beginPart(const PartHeader&) override {
        if (inPart_) {
            std::abort(); // a part began inside another
        }
        inPart_ = true;
        return true;
    }
    bool partData(std::string_view) override {
        if (!inPart_) {
            std::abort(); // data outside a part
        }
        return true;
    }
    bool endPart() override {
        inPart_ = false;
        return true;
    }

private:
    bool inPart_ = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t line = input.find('\n');
    if (line == std::string_view::npos || line + 1 >= input.size()) {
        return 0;
    }
    FormBoundary form = parseFormContentType(input.substr(0, line));
    if (form.type != FormContentType::FormData) {
        return 0;
    }
    std::string_view body = input.substr(line + 2);
    const std::size_t piece = static_cast<unsigned char>(input[line + 1]) % 64 + 1;
    CheckingSink sink;
    MultipartParser parser(form.boundary, sink);
    auto outcome = MultipartParser::Outcome::Ok;
    for (std::size_t at = 0; at < body.size() && outcome == MultipartParser::Outcome::Ok;
         at += piece) {
        outcome = parser.feed(body.substr(at, piece));
    }
    if (outcome == MultipartParser::Outcome::Ok) {
        parser.finish();
    }
    return 0;
}
