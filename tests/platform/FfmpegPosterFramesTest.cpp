// Poster frames decoded from real files that the ffmpeg program writes.

#include "platform/ffmpeg/FfmpegPosterFrames.h"

#include "fakes/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace velloq::platform {
namespace {

// A one-second clip of `size`: red for the first half second, blue after.
std::filesystem::path makeClip(const std::filesystem::path& folder, const std::string& size) {
    const auto file = folder / ("clip-" + size + ".mp4");
    const std::string command =
        "ffmpeg -loglevel error -y -f lavfi -i color=c=red:s=" + size +
        ":r=30:d=0.5 -f lavfi -i color=c=blue:s=" + size +
        ":r=30:d=0.5 -filter_complex concat=n=2:v=1 -c:v libx264 -g 30 -pix_fmt yuv420p "
        "-movflags frag_keyframe+empty_moov " +
        file.string();
    EXPECT_EQ(std::system(command.c_str()), 0);
    return file;
}

TEST(FfmpegPosterFrames, FrameAtATimeFitsTheSquareWithoutGrowing) {
    testing::TempDir temp;
    FfmpegPosterFrames posters;
    struct Case {
        std::string size;
        int width;
        int height;
    };
    std::filesystem::path clip;
    for (const auto& [size, width, height] :
         {Case{"1920x1080", 640, 360}, Case{"400x900", 284, 640}, Case{"320x240", 320, 240}}) {
        clip = makeClip(temp.path(), size);
        auto image = posters.frameAt(clip, 0.1, 640);
        ASSERT_TRUE(image) << size;
        EXPECT_EQ(image->width, width) << size;
        EXPECT_EQ(image->height, height) << size;
        ASSERT_EQ(image->pixels.size(), static_cast<std::size_t>(width) * height * 4);
        const auto* centre = &image->pixels[(static_cast<std::size_t>(height / 2) * width +
                                             static_cast<std::size_t>(width / 2)) *
                                            4];
        EXPECT_GT(centre[0], 200) << size << ": the red part, not the blue at 0.5 s";
        EXPECT_LT(centre[2], 60) << size;
    }
    auto late = posters.frameAt(clip, 0.8, 640); // the last, 320 x 240 clip
    ASSERT_TRUE(late);
    EXPECT_GT(late->pixels[2], 200) << "blue after the cut";
}

TEST(FfmpegPosterFrames, UnreadableFilesGiveNone) {
    testing::TempDir temp;
    const auto text = temp.path() / "not-a-video.mp4";
    std::ofstream(text) << "hello";
    FfmpegPosterFrames posters;
    EXPECT_FALSE(posters.frameAt(text, 0.1, 640));
    EXPECT_FALSE(posters.frameAt(temp.path() / "missing.mp4", 0.1, 640));
}

} // namespace
} // namespace velloq::platform
