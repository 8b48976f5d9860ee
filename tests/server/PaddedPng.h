#pragma once

// A valid 1x1 PNG grown to any size by a private ancillary chunk of varied
// bytes: the sharing service decodes every upload in full, and large ones
// are generated at any offset without holding the whole file.

#include <cstdint>
#include <string>

namespace velloq::server::test {

class PaddedPng {
public:
    explicit PaddedPng(std::uint64_t size);
    std::uint64_t size() const { return head_.size() + padding_ + 4 + 12; }
    std::size_t read(std::uint64_t offset, char* out, std::size_t room) const;

private:
    const std::string& tail() const; // the padding's CRC, computed on first use, and IEND

    std::string head_;
    std::uint64_t padding_ = 0;
    mutable std::string tail_;
};

std::string makePng(std::size_t size);

} // namespace velloq::server::test
