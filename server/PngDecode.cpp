#include "server/PngCheck.h"

#include <memory>
#include <spng.h>
#include <unistd.h>
#include <vector>

namespace velloq::server {
namespace {

// Pixels decoded to check one upload; bounds the time a small, highly
// compressed file can cost.
constexpr std::size_t kDecodedLimit = std::size_t{1} << 30;

struct Reader {
    const PngSource& source;
    std::uint64_t size;
    std::uint64_t offset = 0;
};

int readFromSource(spng_ctx*, void* user, void* out, std::size_t length) {
    auto* reader = static_cast<Reader*>(user);
    if (length > reader->size - reader->offset) {
        return SPNG_IO_EOF;
    }
    if (!reader->source(reader->offset, out, length)) {
        return SPNG_IO_ERROR;
    }
    reader->offset += length;
    return 0;
}

struct ContextFree {
    void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};

} // namespace

bool decodesAsPng(const PngSource& source, std::uint64_t size) {
    std::unique_ptr<spng_ctx, ContextFree> ctx(spng_ctx_new(0));
    if (!ctx) {
        return false;
    }
    Reader reader{source, size};
    spng_ihdr ihdr{};
    std::size_t imageSize = 0;
    if (spng_set_crc_action(ctx.get(), SPNG_CRC_ERROR, SPNG_CRC_ERROR) != 0 ||
        spng_set_chunk_limits(ctx.get(), 16u << 20, 64u << 20) != 0 ||
        spng_set_png_stream(ctx.get(), readFromSource, &reader) != 0 ||
        spng_get_ihdr(ctx.get(), &ihdr) != 0 ||
        spng_decoded_image_size(ctx.get(), SPNG_FMT_PNG, &imageSize) != 0 ||
        imageSize > kDecodedLimit || ihdr.height == 0 ||
        spng_decode_image(ctx.get(), nullptr, 0, SPNG_FMT_PNG, SPNG_DECODE_PROGRESSIVE) != 0) {
        return false;
    }
    std::vector<unsigned char> row(imageSize / ihdr.height);
    int status = 0;
    do {
        status = spng_decode_row(ctx.get(), row.data(), row.size());
    } while (status == 0);
    // The chunks after the image data must end with IEND at the last byte.
    return status == SPNG_EOI && spng_decode_chunks(ctx.get()) == 0 && reader.offset == size;
}

bool decodesAsPng(std::string_view bytes) {
    return decodesAsPng(
        [bytes](std::uint64_t offset, void* out, std::size_t size) {
            bytes.copy(static_cast<char*>(out), size, static_cast<std::size_t>(offset));
            return true;
        },
        bytes.size());
}

bool fileDecodesAsPng(int fd, std::uint64_t size) {
    return decodesAsPng(
        [fd](std::uint64_t offset, void* out, std::size_t length) {
            auto* at = static_cast<char*>(out);
            while (length > 0) {
                ssize_t n = ::pread(fd, at, length, static_cast<off_t>(offset));
                if (n <= 0) {
                    return false;
                }
                at += n;
                offset += static_cast<std::uint64_t>(n);
                length -= static_cast<std::size_t>(n);
            }
            return true;
        },
        size);
}

} // namespace velloq::server
