#include "../server/PaddedPng.h"
#include "IntegrationFixture.h"
#include "net/ImageUpload.h"

#include <gtest/gtest.h>

using velloq::NetError;
using velloq::UploadError;
using velloq::uploadImage;
using velloq::userMessage;
using velloq::server::test::makePng; // whole PNGs: the service decodes every upload
using velloq::testing::ReferenceServer;
using Kind = velloq::platform::TransportErrorKind;

namespace {

class ImageIntegrationTest : public velloq::testing::IntegrationFixture {
protected:
    ImageIntegrationTest()
        : IntegrationFixture({false, {"--max-upload-bytes", std::to_string(1 << 20)}}) {}

    NetError failure(const std::string& bytes = makePng(100)) {
        auto result = uploadImage(bytes, *http);
        EXPECT_FALSE(result.has_value()) << result.value_or("");
        return result ? NetError{} : result.error();
    }
    std::string sentence(const std::string& bytes = makePng(100)) {
        return userMessage(failure(bytes));
    }
    Kind transportKind() {
        const auto error = failure();
        const auto* transport = std::get_if<velloq::platform::TransportError>(&error);
        EXPECT_NE(transport, nullptr) << userMessage(error);
        return transport ? transport->kind : Kind::other;
    }
};

} // namespace

TEST_F(ImageIntegrationTest, TheLinkServesTheUploadedBytes) {
    const auto image = makePng(300'000);
    auto link = uploadImage(image, *http);
    ASSERT_TRUE(link.has_value()) << userMessage(link.error());
    EXPECT_TRUE(link->starts_with(server.baseURL() + "/")) << *link;
    EXPECT_EQ(server.download(*link), image);
    EXPECT_TRUE(platform.log.lines().empty());
}

// Which status each refusal is, and its sentence, as the service answers it.
TEST_F(ImageIntegrationTest, EveryRefusalHasItsSentence) {
    EXPECT_TRUE(velloq::APIKeyStore::saveAPIKey("sk-unknown"));
    EXPECT_EQ(sentence(), "Your API key was rejected. Check it in Settings.");
    EXPECT_TRUE(velloq::APIKeyStore::saveAPIKey(ReferenceServer::disabledKey));
    EXPECT_EQ(sentence(), "Your API key was rejected. Check it in Settings.");
    EXPECT_TRUE(velloq::APIKeyStore::saveAPIKey(ReferenceServer::key));
    EXPECT_EQ(sentence("GIF89a not a png at all"), "That image format isn't supported.");
    EXPECT_EQ(sentence(makePng(2 << 20)), "This screenshot is too large to upload.");
    // The mapping of every other status is the sentence table's; a 2xx without a link is ours.
    server.fault("upload", R"({"times":1,"status":200})");
    EXPECT_EQ(sentence(), "The server sent an unexpected response.");
}

TEST_F(ImageIntegrationTest, TransportFailuresHaveTheirSentences) {
    server.fault("upload", R"({"cutBody":true,"times":1})");
    EXPECT_EQ(transportKind(), Kind::networkConnectionLost) << "a connection dropped mid-answer";

    velloq::platform::CurlHttp systemTrustOnly;
    auto untrusted = uploadImage(makePng(100), systemTrustOnly);
    EXPECT_EQ(velloq::testing::transportKindOf(untrusted), Kind::secureConnectionFailed);
    EXPECT_EQ(userMessage(untrusted.error()),
              "Upload failed. Check your connection and try again.");
    EXPECT_EQ(platform.log.count("Velloq upload: network error \xE2\x80\x94 "), 2u);

    useClosedPort();
    EXPECT_EQ(transportKind(), Kind::cannotConnectToHost);
    EXPECT_EQ(sentence(), "Couldn't reach the server.");
}
