#include "Recording.h"

#include "platform/ffmpeg/FfmpegMediaWriter.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace velloq::server::test {

std::string recordedVideo(int seconds, int width, int height, int frameRate) {
    std::string out;
    platform::FfmpegMediaEncoding encoding;
    auto writer = encoding.create({width, height, frameRate, 1'000'000}, platform::AudioSettings{},
                                  [&out](std::string_view bytes) { out.append(bytes); });
    if (!writer) {
        ADD_FAILURE() << "no media writer";
        return {};
    }
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    constexpr int kRate = 44'100;
    std::vector<float> tone(kRate / frameRate);
    const std::int64_t step = 1'000'000'000LL / frameRate;
    for (int frame = 0; frame < seconds * frameRate; ++frame) {
        // A bar that moves across, so every frame differs.
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const bool bar = (x + frame * 4) % width < width / 8;
                pixels[static_cast<std::size_t>(y) * width + x] =
                    bar ? 0xffffffu : (static_cast<std::uint32_t>(y * 255 / height) << 8) | 0x40;
            }
        }
        (*writer)->stageVideo({reinterpret_cast<const std::uint8_t*>(pixels.data()), width, height,
                               static_cast<std::size_t>(width) * 4});
        for (std::size_t i = 0; i < tone.size(); ++i) {
            const double t = double(frame * tone.size() + i) / kRate;
            tone[i] = static_cast<float>(0.3 * std::sin(2 * M_PI * 440 * t));
        }
        EXPECT_TRUE((*writer)->appendVideo(frame * step));
        EXPECT_TRUE((*writer)->appendAudio(tone.data(), tone.size(), frame * step));
    }
    EXPECT_EQ((*writer)->finish(), platform::MediaWriter::Status::completed);
    return out;
}

std::vector<std::size_t> topLevelBoxes(const std::string& mp4, const char* type) {
    std::vector<std::size_t> found;
    std::size_t at = 0;
    while (at + 8 <= mp4.size()) {
        std::uint64_t size = 0;
        for (int i = 0; i < 4; ++i) {
            size = size << 8 | static_cast<unsigned char>(mp4[at + i]);
        }
        if (size == 1 && at + 16 <= mp4.size()) { // 64-bit size follows the type
            size = 0;
            for (int i = 8; i < 16; ++i) {
                size = size << 8 | static_cast<unsigned char>(mp4[at + i]);
            }
        }
        if (mp4.compare(at + 4, 4, type) == 0) {
            found.push_back(at);
        }
        if (size < 8) {
            break;
        }
        at += size;
    }
    return found;
}

} // namespace velloq::server::test
