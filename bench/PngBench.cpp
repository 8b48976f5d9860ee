// PNG encoding of screenshots: candidate settings of our encoder against
// libpng with its default settings, on the images in bench/data.
// Each result carries the file size as the counter "bytes".
// capture_bench.sh runs pngData against libpng, interleaved; run the
// candidates by hand with --benchmark_filter=Candidate.

#include "capture/PngData.h"
#include "platform/png/PngEncoder.h"

#include <benchmark/benchmark.h>
#include <png.h>
#include <QImage>
#include <string>
#include <vector>

namespace {

using velloq::platform::PngSettings;

const char* kinds[] = {"interface", "gradient", "photo"};

const QImage& image(int kind) {
    static std::vector<QImage> images = [] {
        std::vector<QImage> loaded;
        for (const char* name : kinds) {
            QImage img(QString(VELLOQ_BENCH_DATA) + "/" + name + ".png");
            loaded.push_back(img.convertToFormat(QImage::Format_RGB32));
        }
        return loaded;
    }();
    return images[std::size_t(kind)];
}

void rgbRow(const QImage& img, int y, std::uint8_t* out) {
    const auto* in = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x) {
        *out++ = std::uint8_t(qRed(in[x]));
        *out++ = std::uint8_t(qGreen(in[x]));
        *out++ = std::uint8_t(qBlue(in[x]));
    }
}

struct Candidate {
    const char* name;
    PngSettings settings;
};

using velloq::platform::PngEffort;
using velloq::platform::PngFilter;

const Candidate candidates[] = {
    {"none-quick", {PngFilter::none, PngEffort::quick}},
    {"none-thorough", {PngFilter::none, PngEffort::thorough}},
    {"up-quick", {PngFilter::up, PngEffort::quick}},
    {"up-thorough", {PngFilter::up, PngEffort::thorough}},
    {"paeth-quick", {PngFilter::paeth, PngEffort::quick}},
    {"sub-runs", {PngFilter::sub, PngEffort::runs}},
    {"up-runs", {PngFilter::up, PngEffort::runs}},
    {"average-runs", {PngFilter::average, PngEffort::runs}},
    {"paeth-runs", {PngFilter::paeth, PngEffort::runs}},
};

void BM_Candidate(benchmark::State& state) {
    const QImage& img = image(int(state.range(0)));
    const auto& candidate = candidates[state.range(1)];
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto png = velloq::platform::encodePng(
            img.width(), img.height(), velloq::platform::PngColor::rgb,
            [&](int y, std::uint8_t* row) { rgbRow(img, y, row); }, candidate.settings);
        bytes = png->size();
        benchmark::DoNotOptimize(png);
    }
    state.counters["bytes"] = double(bytes);
    state.SetLabel(std::string(kinds[state.range(0)]) + " " + candidate.name);
}

// What the product runs: pngData with the chosen settings, conversion included.
void BM_PngData(benchmark::State& state) {
    const QImage& img = image(int(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto png = velloq::capture::pngData(img);
        bytes = png->size();
        benchmark::DoNotOptimize(png);
    }
    state.counters["bytes"] = double(bytes);
    state.SetLabel(kinds[state.range(0)]);
}

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// libpng as a program gets it without touching any setting. Rows are
// converted beforehand, so libpng is not charged for the conversion.
void BM_LibpngDefault(benchmark::State& state) {
    const QImage& img = image(int(state.range(0)));
    std::vector<std::uint8_t> rgb(std::size_t(img.width()) * 3 * std::size_t(img.height()));
    std::vector<png_bytep> rows(std::size_t(img.height()));
    for (int y = 0; y < img.height(); ++y) {
        rows[std::size_t(y)] = rgb.data() + std::size_t(y) * std::size_t(img.width()) * 3;
        rgbRow(img, y, rows[std::size_t(y)]);
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::vector<std::uint8_t> out;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_set_write_fn(png, &out, appendBytes, nullptr);
        png_set_IHDR(png, info, png_uint_32(img.width()), png_uint_32(img.height()), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_set_rows(png, info, rows.data());
        png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
        png_destroy_write_struct(&png, &info);
        bytes = out.size();
        benchmark::DoNotOptimize(out);
    }
    state.counters["bytes"] = double(bytes);
    state.SetLabel(kinds[state.range(0)]);
}

} // namespace

// The encoder uses every core, so all of them are timed by the clock on the wall.
BENCHMARK(BM_Candidate)
    ->ArgsProduct({{0, 1, 2}, benchmark::CreateDenseRange(0, std::size(candidates) - 1, 1)})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PngData)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LibpngDefault)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
