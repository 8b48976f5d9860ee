#include "fakes/ChildProcess.h"
#include "fakes/PrivateKeyring.h"
#include "fakes/TempDir.h"
#include "support/ReferenceServer.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <QBuffer>
#include <QImage>
#include <random>
#include <sstream>

using namespace std::chrono_literals;
using namespace velloq::testing;

namespace {

// `velloq upload` as a user runs it, against the reference service.
class UploadVerbTest : public velloq::testing::PrivateKeyringTest {
protected:
    struct Run {
        int status;
        std::string out;
        std::string err;
    };
    Run upload(const ReferenceServer& server, const std::vector<std::string>& files,
               const std::string& serviceURL = {}) {
        const std::map<std::string, std::string> environment{
            {"HOME", home.path().string()},
            {"VELLOQ_SERVICE_URL", serviceURL.empty() ? server.baseURL() : serviceURL},
            {"VELLOQ_CA_FILE", server.caFile()}};
        ChildProcess key({VELLOQ_BINARY, "set-key"}, environment,
                         std::string(ReferenceServer::key) + "\n");
        EXPECT_EQ(key.wait(20s), 0) << key.errors();
        std::vector<std::string> argv{VELLOQ_BINARY, "upload"};
        argv.insert(argv.end(), files.begin(), files.end());
        ChildProcess velloq(argv, environment);
        const auto status = velloq.wait(60s);
        return {status.value_or(-1), velloq.output(), velloq.errors()};
    }
    std::string write(const std::string& name, const std::string& bytes) {
        const auto path = home.path() / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    TempDir home;
};

std::string pngBytes() {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

} // namespace

TEST_F(UploadVerbTest, AnImageAndAVideoInPartsComeBackAsLinksToTheSameBytes) {
    ReferenceServer server;
    std::string video(33 * 1024 * 1024 + 5, '\0'); // five parts of 8 MiB and less
    std::mt19937 random(7);
    for (auto& byte : video) {
        byte = static_cast<char>(random());
    }
    const auto png = pngBytes();
    const auto run = upload(server, {write("shot.png", png), write("rec.mp4", video),
                                     (home.path() / "missing.mp4").string()});
    EXPECT_EQ(run.status, 1) << "one file could not be read";
    EXPECT_NE(run.err.find("missing.mp4"), std::string::npos) << run.err;
    std::istringstream lines(run.out);
    std::string imageLink;
    std::string videoLink;
    ASSERT_TRUE(std::getline(lines, imageLink) && std::getline(lines, videoLink)) << run.out;
    EXPECT_EQ(server.download(imageLink), png);
    EXPECT_TRUE(server.downloadVideo(videoLink) == video) << "the served video differs";
    EXPECT_EQ(run.err.find("MiB/s"), std::string::npos) << "no progress when not on a terminal";
}

TEST_F(UploadVerbTest, RefusalsAndAnInsecureServiceGiveTheirSentences) {
    ReferenceServer server({.arguments = {"--max-upload-bytes", "100"}});
    const auto tooLarge = upload(server, {write("shot.png", pngBytes())});
    EXPECT_EQ(tooLarge.status, 1);
    EXPECT_NE(tooLarge.err.find("This screenshot is too large to upload."), std::string::npos)
        << tooLarge.err;

    const auto insecure = upload(server, {write("rec.mp4", "abc")},
                                 "http://127.0.0.1:" + std::to_string(server.port()));
    EXPECT_EQ(insecure.status, 1);
    EXPECT_TRUE(insecure.out.empty());
    EXPECT_NE(insecure.err.find("The server address must use HTTPS."), std::string::npos)
        << insecure.err;
}
