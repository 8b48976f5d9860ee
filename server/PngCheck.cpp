#include "server/PngCheck.h"

#include <array>
#include <cstdint>

namespace velloq::server {
namespace {

std::uint32_t readBigEndian(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

std::uint32_t crc32(std::string_view bytes) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xffffffffu;
    for (char ch : bytes) {
        c = table[(c ^ static_cast<unsigned char>(ch)) & 0xff] ^ (c >> 8);
    }
    return c ^ 0xffffffffu;
}

bool validDepthForColour(unsigned depth, unsigned colour) {
    switch (colour) {
    case 0:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6:
        return depth == 8 || depth == 16;
    default:
        return false;
    }
}

} // namespace

bool isPngHeader(std::string_view head) {
    static constexpr std::string_view signature("\x89PNG\r\n\x1a\n", 8);
    if (head.size() < kPngHeaderSize || head.substr(0, 8) != signature) {
        return false;
    }
    if (readBigEndian(head, 8) != 13 || head.substr(12, 4) != "IHDR") {
        return false;
    }
    std::uint32_t width = readBigEndian(head, 16);
    std::uint32_t height = readBigEndian(head, 20);
    auto depth = static_cast<unsigned char>(head[24]);
    auto colour = static_cast<unsigned char>(head[25]);
    auto compression = static_cast<unsigned char>(head[26]);
    auto filter = static_cast<unsigned char>(head[27]);
    auto interlace = static_cast<unsigned char>(head[28]);
    constexpr std::uint32_t maxDimension = 0x7fffffffu;
    if (width == 0 || height == 0 || width > maxDimension || height > maxDimension ||
        !validDepthForColour(depth, colour) || compression != 0 || filter != 0 || interlace > 1) {
        return false;
    }
    return crc32(head.substr(12, 17)) == readBigEndian(head, 29);
}

} // namespace velloq::server
