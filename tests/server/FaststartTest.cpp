// Video links open a page that plays a browser copy of the upload: an MP4
// with its index in front, made off the request thread, while the upload
// itself stays reachable as it was sent.

#include "FaststartFixture.h"
#include "Recording.h"
#include "server/FaststartWorker.h"
#include "server/ViewerPage.h"

#include <cmath>
#include <fstream>
#include <regex>
#include <spng.h>
#include <sys/stat.h>
#include <thread>
#include <tuple>

namespace velloq::server::test {
namespace {

using nlohmann::json;
using namespace std::chrono_literals;
using FaststartTest = FaststartFixture;

struct RgbPicture {
    spng_ihdr ihdr{};
    std::vector<unsigned char> rgb;
    std::tuple<int, int, int> at(std::size_t x, std::size_t y) const {
        const std::size_t i = (y * ihdr.width + x) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

RgbPicture decodeRgb(const std::string& png) {
    RgbPicture picture;
    std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> ctx(spng_ctx_new(0), spng_ctx_free);
    std::size_t size = 0;
    if (spng_set_png_buffer(ctx.get(), png.data(), png.size()) == 0 &&
        spng_get_ihdr(ctx.get(), &picture.ihdr) == 0 &&
        spng_decoded_image_size(ctx.get(), SPNG_FMT_RGB8, &size) == 0) {
        picture.rgb.resize(size);
        EXPECT_EQ(spng_decode_image(ctx.get(), picture.rgb.data(), size, SPNG_FMT_RGB8, 0), 0);
    }
    return picture;
}

TEST_F(FaststartTest, RecordingLinkOpensAPageThatPlaysASeekableCopy) {
    const std::string video = recordedVideo(6, 320, 240);
    ASSERT_FALSE(topLevelBoxes(video, "moof").empty()) << "the upload is fragmented";
    const std::string view = publish(video);
    ASSERT_TRUE(std::regex_match(
        view, std::regex(std::regex_replace(server_->baseUrl(), std::regex(R"([.[\]])"), R"(\$&)") +
                         "/v/[0-9a-f]{32}")))
        << view;
    ASSERT_TRUE(logged("browser copy ready"));

    const HttpResponse copy = get(view + "/video.mp4");
    ASSERT_EQ(copy.status, 200);
    EXPECT_EQ(copy.header("content-type"), "video/mp4");
    const auto moov = topLevelBoxes(copy.body, "moov");
    const auto mdat = topLevelBoxes(copy.body, "mdat");
    ASSERT_EQ(moov.size(), 1u);
    ASSERT_EQ(mdat.size(), 1u);
    EXPECT_LT(moov[0], mdat[0]) << "the index comes first";
    EXPECT_TRUE(topLevelBoxes(copy.body, "moof").empty());
    EXPECT_TRUE(get(view + ".mp4").body == video) << "the upload is kept as it was sent";

    const HttpResponse page = get(view);
    ASSERT_EQ(page.status, 200);
    EXPECT_EQ(page.header("content-type"), "text/html; charset=utf-8");
    EXPECT_NE(page.header("content-security-policy").find("default-src 'none'"), std::string::npos);
    EXPECT_NE(page.body.find("src=\"" + view + "/video.mp4\""), std::string::npos) << page.body;
    EXPECT_NE(page.body.find("<span id=\"duration\">0:06</span>"), std::string::npos) << page.body;
    EXPECT_NE(page.body.find("href=\"" + view + "/video.mp4\" download"), std::string::npos);
    EXPECT_NE(page.body.find("width=\"320\" height=\"240\""), std::string::npos);

    // The poster is the first picture: the moving bar at the left edge on the gradient.
    EXPECT_NE(page.body.find("poster=\"" + view + "/poster.png\""), std::string::npos);
    const HttpResponse poster = get(view + "/poster.png");
    ASSERT_EQ(poster.status, 200);
    EXPECT_EQ(poster.header("content-type"), "image/png");
    const auto picture = decodeRgb(poster.body);
    ASSERT_EQ(picture.ihdr.width, 320u);
    ASSERT_EQ(picture.ihdr.height, 240u);
    const auto near = [](int value, int expected) { return std::abs(value - expected) <= 24; };
    const auto [r, g, b] = picture.at(160, 120);
    EXPECT_TRUE(near(r, 0) && near(g, 127) && near(b, 0x40)) << r << " " << g << " " << b;
    const auto [br, bg, bb] = picture.at(10, 120);
    EXPECT_TRUE(near(br, 255) && near(bg, 255) && near(bb, 255)) << br << " " << bg << " " << bb;

    // Players read the index and then jump about with ranges; which ranges are
    // honoured is the parser's test, how a partial and a refused one are framed is here.
    const std::string size = std::to_string(copy.body.size());
    const HttpResponse tail = get(view + "/video.mp4", "bytes=-100");
    EXPECT_EQ(tail.status, 206);
    EXPECT_TRUE(tail.body == copy.body.substr(copy.body.size() - 100));
    EXPECT_EQ(tail.header("content-range"), "bytes " + std::to_string(copy.body.size() - 100) +
                                                "-" + std::to_string(copy.body.size() - 1) + "/" +
                                                size);
    const HttpResponse past = get(view + "/video.mp4", "bytes=" + size + "-");
    EXPECT_EQ(past.status, 416);
    EXPECT_EQ(past.header("content-range"), "bytes */" + size);
}

TEST_F(FaststartTest, AnUploadThatIsNoMp4IsPlayedAsSentAndHasNoCopy) {
    const std::string view = publish(std::string(300000, 'x'));
    ASSERT_TRUE(logged("no browser copy"));
    EXPECT_EQ(get(view + "/video.mp4").status, 404);
    const HttpResponse page = get(view);
    ASSERT_EQ(page.status, 200);
    EXPECT_NE(page.body.find("src=\"" + view + ".mp4\""), std::string::npos) << page.body;
    EXPECT_EQ(page.body.find("duration"), std::string::npos);
    // Ids never published have neither page nor copy.
    const std::string unknown = url("/v/" + std::string(32, 'a'));
    EXPECT_EQ(get(unknown).status, 404);
    EXPECT_EQ(get(unknown + "/video.mp4").status, 404);
}

TEST_F(FaststartTest, ACopyCutShortByARestartIsMadeWhenTheLinkIsOpenedAgain) {
    const std::string view = publish(recordedVideo(2, 160, 120));
    ASSERT_TRUE(logged("browser copy ready"));
    const std::string id = view.substr(view.rfind('/') + 1);
    // As if the server had stopped while writing it.
    std::filesystem::remove(dataDir_ / "videos" / (id + ".web.mp4"));
    restartServer();
    const std::string page = url("/v/" + id);
    EXPECT_EQ(get(page + "/video.mp4").status, 404) << "not asked for yet";
    bool ready = false;
    for (int i = 0; i < 200 && !ready; ++i) {
        const HttpResponse got = get(page);
        ASSERT_EQ(got.status, 200);
        ready = got.body.find("src=\"" + page + "/video.mp4\"") != std::string::npos;
        if (!ready) {
            EXPECT_NE(got.body.find("id=\"preparing\""), std::string::npos) << got.body;
            std::this_thread::sleep_for(50ms);
        }
    }
    EXPECT_TRUE(ready);
    EXPECT_EQ(get(page + "/video.mp4").status, 200);
}

TEST(ViewerPage, DurationsEscapesAndTheReloadWhilePreparing) {
    struct Case {
        double seconds;
        const char* text;
    };
    for (const Case& c : std::vector<Case>{{0, "0:00"},
                                           {6.4, "0:06"},
                                           {59.6, "1:00"},
                                           {600, "10:00"},
                                           {3723, "1:02:03"},
                                           {-3, "0:00"},
                                           {std::nan(""), "0:00"},
                                           {INFINITY, "0:00"}}) {
        EXPECT_EQ(formatDuration(c.seconds), c.text) << c.seconds;
    }
    ViewerContent content;
    content.videoUrl = "https://h/x\"><script>alert('1')</script>&";
    content.downloadUrl = content.videoUrl;
    const std::string page = renderViewerPage(content);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_NE(page.find("x&quot;&gt;&lt;script&gt;alert(&#39;1&#39;)&lt;/script&gt;&amp;"),
              std::string::npos);

    // While the copy is prepared the page reloads itself and offers the upload.
    content.videoUrl.clear();
    content.downloadUrl = "https://h/v/1.mp4";
    const std::string preparing = renderViewerPage(content);
    EXPECT_NE(preparing.find("<meta http-equiv=\"refresh\""), std::string::npos);
    EXPECT_EQ(preparing.find("<video"), std::string::npos);
    EXPECT_NE(preparing.find("href=\"https://h/v/1.mp4\""), std::string::npos);
}

// The copy of a video still arriving (a pipe stands in for a slow disk) is
// "preparing" until the last byte is in, then ready, and is made once.
TEST(FaststartWorker, PreparingUntilTheCopyIsWholeThenReady) {
    velloq::testing::TempDir root;
    auto dir = DataDir::prepare(root.path() / "data");
    ASSERT_TRUE(dir);
    const std::string id(32, 'b');
    ASSERT_EQ(::mkfifo(dir.value().videoPath(id).c_str(), 0600), 0);
    std::vector<std::string> log;
    std::mutex logMutex;
    {
        FaststartWorker worker(dir.value(), Logger([&](std::string_view line) {
                                   std::lock_guard lock(logMutex);
                                   log.emplace_back(line);
                               }));
        EXPECT_EQ(worker.state(id), CopyState::Unavailable);
        worker.enqueue(id);
        EXPECT_EQ(worker.state(id), CopyState::Preparing);
        EXPECT_FALSE(worker.info(id));
        {
            const std::string video = recordedVideo(4, 160, 120);
            std::ofstream pipe(dir.value().videoPath(id), std::ios::binary); // the worker reads
            EXPECT_EQ(worker.state(id), CopyState::Preparing);
            pipe.write(video.data(), static_cast<std::streamsize>(video.size()));
        }
        for (int i = 0; i < 400 && worker.state(id) == CopyState::Preparing; ++i) {
            std::this_thread::sleep_for(25ms);
        }
        ASSERT_EQ(worker.state(id), CopyState::Ready);
        ASSERT_TRUE(worker.info(id)); // what it holds is seen on the page in the tests above
        worker.enqueue(id);           // already made: left alone
        EXPECT_EQ(worker.state(id), CopyState::Ready);
    }
    EXPECT_EQ(log.size(), 1u);
    struct stat copy {};
    ASSERT_EQ(::stat(dir.value().webVideoPath(id).c_str(), &copy), 0);
    EXPECT_EQ(copy.st_mode & 0777, 0600u);
    EXPECT_TRUE(std::filesystem::is_empty(dir.value().tmpDir()));
}

} // namespace
} // namespace velloq::server::test
