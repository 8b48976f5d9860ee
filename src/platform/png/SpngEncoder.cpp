#include "platform/png/PngEncoder.h"

#include <cstring>
#include <memory>
#include <spng.h>
#include <zlib.h>

namespace velloq::platform {
namespace {

struct ContextFree {
    void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using ContextPtr = std::unique_ptr<spng_ctx, ContextFree>;

struct BufferFree {
    void operator()(void* buffer) const { std::free(buffer); }
};

int zlibStrategy(PngStrategy strategy) {
    switch (strategy) {
    case PngStrategy::standard:
        return Z_DEFAULT_STRATEGY;
    case PngStrategy::filtered:
        return Z_FILTERED;
    case PngStrategy::runLength:
        return Z_RLE;
    case PngStrategy::huffmanOnly:
        return Z_HUFFMAN_ONLY;
    }
    return Z_DEFAULT_STRATEGY;
}

int spngFilters(unsigned filters) {
    int choice = 0;
    choice |= (filters & pngFilterNone) ? SPNG_FILTER_CHOICE_NONE : 0;
    choice |= (filters & pngFilterSub) ? SPNG_FILTER_CHOICE_SUB : 0;
    choice |= (filters & pngFilterUp) ? SPNG_FILTER_CHOICE_UP : 0;
    choice |= (filters & pngFilterAverage) ? SPNG_FILTER_CHOICE_AVG : 0;
    choice |= (filters & pngFilterPaeth) ? SPNG_FILTER_CHOICE_PAETH : 0;
    return choice == 0 ? SPNG_DISABLE_FILTERING : choice;
}

} // namespace

PngSettings screenshotPngSettings() {
    return {};
}

std::optional<std::vector<std::uint8_t>> encodePng(int width, int height, PngColor color,
                                                   const PngRowSource& rows,
                                                   const PngSettings& settings) {
    if (width < 1 || height < 1) {
        return std::nullopt;
    }
    ContextPtr ctx(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!ctx) {
        return std::nullopt;
    }
    spng_ihdr ihdr{};
    ihdr.width = std::uint32_t(width);
    ihdr.height = std::uint32_t(height);
    ihdr.bit_depth = 8;
    ihdr.color_type =
        color == PngColor::rgb ? SPNG_COLOR_TYPE_TRUECOLOR : SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    const std::size_t rowBytes = std::size_t(width) * (color == PngColor::rgb ? 3 : 4);
    if (spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1) != 0 ||
        spng_set_option(ctx.get(), SPNG_IMG_COMPRESSION_LEVEL, settings.compressionLevel) != 0 ||
        spng_set_option(ctx.get(), SPNG_IMG_COMPRESSION_STRATEGY,
                        zlibStrategy(settings.strategy)) != 0 ||
        spng_set_option(ctx.get(), SPNG_FILTER_CHOICE, spngFilters(settings.filters)) != 0 ||
        spng_set_ihdr(ctx.get(), &ihdr) != 0) {
        return std::nullopt;
    }
    if (spng_encode_image(ctx.get(), nullptr, 0, SPNG_FMT_PNG,
                          SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE) != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> row(rowBytes);
    for (int y = 0; y < height; ++y) {
        rows(y, row.data());
        const int status = spng_encode_row(ctx.get(), row.data(), row.size());
        if (status != 0 && !(status == SPNG_EOI && y == height - 1)) {
            return std::nullopt;
        }
    }
    std::size_t length = 0;
    int error = 0;
    std::unique_ptr<void, BufferFree> png(spng_get_png_buffer(ctx.get(), &length, &error));
    if (!png || error != 0) {
        return std::nullopt;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(png.get());
    return std::vector<std::uint8_t>(bytes, bytes + length);
}

} // namespace velloq::platform
