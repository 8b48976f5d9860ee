#include "net/UploadError.h"

#include <gtest/gtest.h>

using velloq::FileReadError;
using velloq::UploadError;
using velloq::userMessage;
using Kind = velloq::platform::TransportErrorKind;

namespace {

std::string transport(Kind kind) {
    return userMessage(velloq::platform::TransportError{kind, "x"});
}

} // namespace

TEST(UserMessageTest, HttpStatusesPickTheirSentenceFirstMatchWins) {
    const std::pair<std::int64_t, const char*> table[] = {
        {400, "The server couldn't process this image."},
        {401, "Your API key was rejected. Check it in Settings."},
        {403, "Your API key was rejected. Check it in Settings."},
        {413, "This screenshot is too large to upload."},
        {415, "That image format isn't supported."},
        {500, "The server had a problem. Please try again later."},
        {502, "The server had a problem. Please try again later."},
        {599, "The server had a problem. Please try again later."},
        {302, "Upload failed. Please try again."},
        {402, "Upload failed. Please try again."},
        {404, "Upload failed. Please try again."},
        {499, "Upload failed. Please try again."},
        {600, "Upload failed. Please try again."},
        {-1, "Upload failed. Please try again."},
    };
    for (const auto& [status, sentence] : table) {
        EXPECT_EQ(userMessage(UploadError::http(status)), sentence) << status;
    }
}

TEST(UserMessageTest, OtherUploadErrors) {
    EXPECT_EQ(userMessage(UploadError::noAPIKey()), "Add your API key in Settings first.");
    EXPECT_EQ(userMessage(UploadError::insecureURL()), "The server address must use HTTPS.");
    EXPECT_EQ(userMessage(UploadError::badResponse()), "The server sent an unexpected response.");
}

TEST(UserMessageTest, TransportKindsAndEverythingElse) {
    EXPECT_EQ(transport(Kind::notConnectedToInternet), "No internet connection.");
    EXPECT_EQ(transport(Kind::networkConnectionLost), "No internet connection.");
    EXPECT_EQ(transport(Kind::timedOut), "The upload timed out. Please try again.");
    EXPECT_EQ(transport(Kind::cannotConnectToHost), "Couldn't reach the server.");
    EXPECT_EQ(transport(Kind::cannotFindHost), "Couldn't reach the server.");
    EXPECT_EQ(transport(Kind::dnsLookupFailed), "Couldn't reach the server.");
    const char* other = "Upload failed. Check your connection and try again.";
    for (Kind kind : {Kind::secureConnectionFailed, Kind::cancelled, Kind::badURL, Kind::other}) {
        EXPECT_EQ(transport(kind), other);
    }
    EXPECT_EQ(userMessage(FileReadError{"cannot read"}), other);
}
