#include "capture/DeliverCapture.h"

#include "app/ProductRoutes.h"
#include "fakes/FakePlatform.h"
#include "fakes/TempDir.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

using namespace velloq;
using namespace velloq::capture;

namespace {

class DeliverCaptureTest : public ::testing::Test {
protected:
    DeliverCaptureTest() {
        routes.openEditor = [this](const QImage& shown, QSize pixels) {
            edited.push_back({shown, pixels});
        };
        routes.encodePng = productRoutes().encodePng;
        routes.uploadImage = [this](QByteArray png, std::function<void(UploadOutcome)> done) {
            uploaded.push_back(png.toStdString());
            pendingUpload = std::move(done);
        };
        routes.showCard = [this](std::string url, QImage, QByteArray png) {
            cards.push_back({std::move(url), png.size()});
        };
        routes.showBanner = [this](Severity, std::string_view, std::string_view message) {
            banners.emplace_back(message);
        };
        image.fill(Qt::darkCyan);
    }

    void settings(bool edit, bool sound) {
        ASSERT_TRUE(fake.defaults.set(velloq::settings::editBeforeUploadKey, edit));
        ASSERT_TRUE(fake.defaults.set(velloq::settings::playSoundKey, sound));
    }

    struct Edited {
        QImage image;
        QSize pixels;
    };
    struct Card {
        std::string url;
        qsizetype pngSize;
    };

    velloq::testing::FakePlatform fake;
    ImageRoutes routes;
    QImage image{200, 100, QImage::Format_RGB32};
    std::vector<Edited> edited;
    std::vector<std::string> uploaded;
    std::function<void(UploadOutcome)> pendingUpload;
    std::vector<Card> cards;
    std::vector<std::string> banners;
};

} // namespace

TEST_F(DeliverCaptureTest, ByDefaultPlaysTheSoundAndOpensTheEditorWithoutUploading) {
    deliverCapture(image, 2, routes);
    EXPECT_EQ(fake.sound.capturePlays, 1);
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(edited[0].pixels, QSize(200, 100));
    // Its size in points travels with the image.
    EXPECT_EQ(edited[0].image.deviceIndependentSize(), QSizeF(100, 50));
    EXPECT_TRUE(uploaded.empty());
}

TEST_F(DeliverCaptureTest, SilentUploadPutsExactlyTheLinkOnTheClipboardThenShowsTheCard) {
    settings(false, false);
    deliverCapture(image, 1, routes);
    EXPECT_EQ(fake.sound.capturePlays, 0);
    ASSERT_EQ(uploaded.size(), 1u);
    EXPECT_EQ(uploaded[0].substr(1, 3), "PNG");
    // Nothing touches the clipboard before the answer.
    EXPECT_TRUE(fake.clipboard.texts.empty());
    pendingUpload(std::string("https://share.example/i/abc"));
    EXPECT_EQ(fake.clipboard.texts, std::vector<std::string>{"https://share.example/i/abc"});
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].url, "https://share.example/i/abc");
    EXPECT_EQ(cards[0].pngSize, qsizetype(uploaded[0].size()));
    EXPECT_TRUE(banners.empty());
}

TEST_F(DeliverCaptureTest, FailedUploadKeepsTheImageInPicturesAndTheBannerSaysWhere) {
    velloq::testing::TempDir pictures;
    ::setenv("XDG_PICTURES_DIR", pictures.path().c_str(), 1);
    settings(false, true);
    for (bool writable : {true, false}) {
        fake.files.failWrites = !writable;
        banners.clear();
        deliverCapture(image, 1, routes);
        pendingUpload(Unexpected(std::string("Add your API key in Settings first.")));
        ASSERT_EQ(banners.size(), 1u);
        // Nothing is claimed when the copy could not be written either.
        EXPECT_EQ(banners[0], writable ? "Add your API key in Settings first. The screenshot was "
                                         "kept in " +
                                             (pictures.path() / "Velloq").string() + "."
                                       : "Add your API key in Settings first.");
    }
    ::unsetenv("XDG_PICTURES_DIR");
    std::vector<std::filesystem::path> kept;
    for (const auto& entry : std::filesystem::directory_iterator(pictures.path() / "Velloq")) {
        kept.push_back(entry.path());
    }
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].extension(), ".png");
    EXPECT_EQ(std::filesystem::file_size(kept[0]), uploaded[0].size());
    EXPECT_TRUE(fake.clipboard.texts.empty());
    EXPECT_TRUE(cards.empty());
}

TEST_F(DeliverCaptureTest, AnImageThatCannotBeEncodedEndsInTheEncodingBanner) {
    settings(false, false);
    deliverCapture(QImage(), 1, routes);
    EXPECT_EQ(banners, std::vector<std::string>{"Couldn't encode the image."});
    EXPECT_TRUE(uploaded.empty());
    EXPECT_TRUE(edited.empty());
}
