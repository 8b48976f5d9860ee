#include "common/Utf8.h"

#include <cstdint>

namespace velloq {
namespace {

// Decodes one code point at `at`; returns its length in bytes, or 0 if invalid.
std::size_t decode(std::string_view bytes, std::size_t at, char32_t& out) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    const std::uint8_t lead = byte(at);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        out = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        minimum = 0x80;
        out = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        minimum = 0x800;
        out = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        minimum = 0x10000;
        out = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > bytes.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        out = (out << 6) | (byte(at + i) & 0x3F);
    }
    if (out < minimum || out > 0x10FFFF || (out >= 0xD800 && out <= 0xDFFF)) {
        return 0;
    }
    return length;
}

bool isWhitespace(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

} // namespace

bool isValidUtf8(std::string_view bytes) {
    char32_t c = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = decode(bytes, at, c);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

std::string_view trimWhitespace(std::string_view text) {
    char32_t c = 0;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t length = decode(text, begin, c);
        if (length == 0 || !isWhitespace(c)) {
            break;
        }
        begin += length;
    }
    std::size_t end = text.size();
    while (end > begin) {
        // Step back to the start of the last code point.
        std::size_t start = end - 1;
        while (start > begin && (static_cast<std::uint8_t>(text[start]) & 0xC0) == 0x80) {
            --start;
        }
        const std::size_t length = decode(text, start, c);
        if (length != end - start || !isWhitespace(c)) {
            break;
        }
        end = start;
    }
    return text.substr(begin, end - begin);
}

} // namespace velloq
