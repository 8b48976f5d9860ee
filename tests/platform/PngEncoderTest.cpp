// The PNG encoder: every filter, effort and split into bands must decode to
// exactly the input, with libpng and with ImageMagick, and pass pngcheck.

#include "platform/png/PngEncoder.h"

#include "fakes/ChildProcess.h"
#include "fakes/TempDir.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <png.h>
#include <random>

using namespace velloq::platform;

namespace {

struct Image {
    int width = 0;
    int height = 0;
    PngColor color = PngColor::rgb;
    std::vector<std::uint8_t> bytes;

    std::size_t rowBytes() const { return std::size_t(width) * (color == PngColor::rgb ? 3 : 4); }
    PngRowSource rows() const {
        return [this](int y, std::uint8_t* row) {
            std::memcpy(row, bytes.data() + std::size_t(y) * rowBytes(), rowBytes());
        };
    }
};

// Flat runs, a gradient and noise in turns of rows, and every alpha value,
// so that each filter and search meets repeats, small residuals and none.
Image makeImage(int width, int height, PngColor color) {
    Image image{width, height, color, {}};
    image.bytes.resize(image.rowBytes() * std::size_t(height));
    std::mt19937 random(std::uint32_t(width * 7919 + height));
    const std::size_t bpp = color == PngColor::rgb ? 3 : 4;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = image.bytes.data() + std::size_t(y) * image.rowBytes() + x * bpp;
            for (std::size_t c = 0; c < bpp; ++c) {
                switch ((y / 7) % 3) {
                case 0:
                    pixel[c] = std::uint8_t(x / 16 * 40 + c);
                    break;
                case 1:
                    pixel[c] = std::uint8_t(x + y * (c + 1));
                    break;
                default:
                    pixel[c] = std::uint8_t(random());
                    break;
                }
            }
        }
    }
    return image;
}

// libpng's reading of the file, as bytes of the same layout, or none.
std::optional<std::vector<std::uint8_t>> libpngDecode(const std::vector<std::uint8_t>& png,
                                                      PngColor color) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, png.data(), png.size()) == 0) {
        return std::nullopt;
    }
    image.format = color == PngColor::rgb ? PNG_FORMAT_RGB : PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    const bool read = png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) != 0;
    if (!read || image.warning_or_error != 0) {
        png_image_free(&image);
        return std::nullopt;
    }
    return pixels;
}

std::vector<std::uint8_t> libpngEncode(const Image& source) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(source.width);
    image.height = png_uint_32(source.height);
    image.format = source.color == PngColor::rgb ? PNG_FORMAT_RGB : PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, source.bytes.data(), 0, nullptr);
    std::vector<std::uint8_t> png(size);
    png_image_write_to_memory(&image, png.data(), &size, 0, source.bytes.data(), 0, nullptr);
    png.resize(size);
    return png;
}

// What a command prints, or none when it fails.
std::optional<std::string> run(const std::vector<std::string>& command) {
    velloq::testing::ChildProcess child(command, {});
    if (child.wait(std::chrono::seconds(60)) != 0) {
        return std::nullopt;
    }
    return child.output();
}

void save(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

const PngFilter kFilters[] = {PngFilter::none, PngFilter::sub, PngFilter::up, PngFilter::average,
                              PngFilter::paeth};
const PngEffort kEfforts[] = {PngEffort::quick, PngEffort::thorough, PngEffort::runs};

} // namespace

TEST(PngEncoderTest, EveryFilterEffortAndBandSplitDecodesToTheInput) {
    struct Case {
        int width, height;
        PngColor color;
        int bands;
    };
    const Case cases[] = {
        {1, 1, PngColor::rgb, 0},     {1, 1, PngColor::rgba, 0},    {7, 5, PngColor::rgb, 3},
        {2, 9000, PngColor::rgba, 4}, {333, 257, PngColor::rgb, 5}, {97, 801, PngColor::rgba, 2},
    };
    for (const auto& c : cases) {
        const Image image = makeImage(c.width, c.height, c.color);
        for (const auto filter : kFilters) {
            for (const auto effort : kEfforts) {
                const auto png =
                    encodePng(c.width, c.height, c.color, image.rows(), {filter, effort, c.bands});
                const auto label = std::to_string(c.width) + "x" + std::to_string(c.height) +
                                   " filter " + std::to_string(int(filter)) + " effort " +
                                   std::to_string(int(effort));
                ASSERT_TRUE(png) << label;
                EXPECT_EQ(libpngDecode(*png, c.color), image.bytes) << label;
            }
        }
    }
}

TEST(PngEncoderTest, ToolsReadTheSamePixelsAsFromLibpngsOwnFile) {
    velloq::testing::TempDir dir;
    for (const auto color : {PngColor::rgb, PngColor::rgba}) {
        const Image image = makeImage(641, 1203, color);
        const auto ours = encodePng(image.width, image.height, color, image.rows());
        ASSERT_TRUE(ours);
        save(dir.path() / "ours.png", *ours);
        save(dir.path() / "libpng.png", libpngEncode(image));
        EXPECT_TRUE(run({"/usr/bin/pngcheck", "-q", (dir.path() / "ours.png").string()}));
        const auto signature = [&](const char* name) {
            return run({"/usr/bin/identify", "-regard-warnings", "-format", "%w %h %#",
                        (dir.path() / name).string()});
        };
        const auto expected = signature("libpng.png");
        ASSERT_TRUE(expected);
        EXPECT_EQ(signature("ours.png"), expected) << "same size and pixel signature";
    }
}

TEST(PngEncoderTest, PhotographsGetRunLengthCodingAndFlatImagesNoFilter) {
    Image noise{300, 200, PngColor::rgb, {}};
    noise.bytes.resize(noise.rowBytes() * 200);
    std::mt19937 random(5);
    for (auto& byte : noise.bytes) {
        byte = std::uint8_t(random() % 64 + 96);
    }
    EXPECT_EQ(choosePngSettings(300, 200, PngColor::rgb, noise.rows()).effort, PngEffort::runs);

    Image flat{300, 200, PngColor::rgb, std::vector<std::uint8_t>(300 * 3 * 200, 240)};
    for (std::size_t i = 0; i < flat.bytes.size(); i += 997) {
        flat.bytes[i] = 20; // sparse text-like specks
    }
    EXPECT_EQ(choosePngSettings(300, 200, PngColor::rgb, flat.rows()).filter, PngFilter::none);
    EXPECT_EQ(encodePng(0, 5, PngColor::rgb, flat.rows()), std::nullopt);
}
