#include "PaddedPng.h"

#include <algorithm>
#include <vector>
#include <zlib.h>

namespace velloq::server::test {
namespace {

std::string bigEndian(std::uint64_t value) {
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xff));
    }
    return out;
}

std::string chunk(const char* type, const std::string& data) {
    const uLong crc =
        ::crc32(::crc32(0, reinterpret_cast<const Bytef*>(type), 4),
                reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    return bigEndian(data.size()) + std::string(type, 4) + data + bigEndian(crc);
}

// Signature, IHDR and IDAT of a 1x1 RGB image, then the padding chunk's length and type.
std::string pngStart(std::uint64_t padding) {
    return std::string("\x89PNG\r\n\x1a\n", 8) +
           chunk("IHDR", std::string("\0\0\0\1\0\0\0\1\x08\x02\0\0\0", 13)) +
           chunk("IDAT", std::string("\x78\x9c\x63\x10\x50\x30\0\0\0\xa4\0\x61", 12)) +
           bigEndian(padding) + "paDd";
}

char paddingByte(std::uint64_t at) {
    return static_cast<char>((at * 131 + 7) & 0xff);
}

} // namespace

PaddedPng::PaddedPng(std::uint64_t size) {
    const std::uint64_t fixed = pngStart(0).size() + 4 + 12;
    padding_ = size > fixed ? size - fixed : 0;
    head_ = pngStart(padding_);
}

const std::string& PaddedPng::tail() const {
    if (tail_.empty()) {
        uLong crc = ::crc32(0, reinterpret_cast<const Bytef*>("paDd"), 4);
        std::vector<char> block(1 << 16);
        for (std::uint64_t at = 0; at < padding_; at += block.size()) {
            const auto n =
                static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), padding_ - at));
            for (std::size_t i = 0; i < n; ++i) {
                block[i] = paddingByte(at + i);
            }
            crc = ::crc32(crc, reinterpret_cast<const Bytef*>(block.data()), static_cast<uInt>(n));
        }
        tail_ = bigEndian(crc) + chunk("IEND", "");
    }
    return tail_;
}

std::size_t PaddedPng::read(std::uint64_t offset, char* out, std::size_t room) const {
    std::size_t n = 0;
    for (; n < room && offset + n < size(); ++n) {
        const std::uint64_t at = offset + n;
        if (at < head_.size()) {
            out[n] = head_[static_cast<std::size_t>(at)];
        } else if (at < head_.size() + padding_) {
            out[n] = paddingByte(at - head_.size());
        } else {
            out[n] = tail()[static_cast<std::size_t>(at - head_.size() - padding_)];
        }
    }
    return n;
}

std::string makePng(std::size_t size) {
    PaddedPng png(size);
    std::string out(static_cast<std::size_t>(png.size()), '\0');
    png.read(0, out.data(), out.size());
    return out;
}

} // namespace velloq::server::test
