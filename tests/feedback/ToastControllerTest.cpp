#include "feedback/ToastController.h"

#include "fakes/FakePlatform.h"
#include "fakes/TempDir.h"
#include "feedback/NotificationBanner.h"
#include "RenderSupport.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QPointer>

namespace velloq {
namespace {

using namespace std::chrono_literals;
using testing::FakePlatform;

class ToastControllerTest : public ::testing::Test {
protected:
    ToastControllerTest() { testing::qtApp(); }
    ~ToastControllerTest() override {
        // Released panels are deleted once the event loop gets to them.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    NotificationBanner* banner() const {
        return toasts.banner() ? static_cast<NotificationBanner*>(toasts.banner()->content())
                               : nullptr;
    }
    QString bannerMessage() const { return banner() ? banner()->message() : QString(); }
    QAbstractButton* cardButton(const char* name) const {
        return toasts.card()->findChild<QAbstractButton*>(QString::fromLatin1(name));
    }
    std::filesystem::path recording(const std::string& bytes = "fMP4 bytes") const {
        const auto path = dir.path() / "velloq-recording.mp4";
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    // The save panel runs its own loop; its answer arrives as a posted task.
    void clickSave() {
        cardButton("save")->click();
        platform.loop.runPending();
    }
    void showScreenshotCard(const std::string& url = "https://velloq.test/i/abc") {
        QImage image(64, 40, QImage::Format_RGB32);
        image.fill(Qt::blue);
        toasts.showCard(url, image, QByteArray("PNG bytes"));
    }

    testing::TempDir dir;
    FakePlatform platform;
    ToastController toasts; // after the platform: its timers are cancelled first
};

// Visible frame 1440 x 875 from the bottom of a 900-point screen; panels sit 20
// points in from its edges. A second panel replaces the first and lives its
// full time, and only a card reminds of its link when it goes.
TEST_F(ToastControllerTest, EachPanelSitsInItsCornerAndASecondOneReplacesTheFirst) {
    const struct {
        const char* what;
        std::function<void(const char*)> show;
        std::function<FloatingPanel*()> panel;
        std::function<QPoint(QSize)> corner;
        std::chrono::milliseconds life;
        const char* reminder;
    } cases[] = {
        {"banner", [&](const char* m) { toasts.showBanner(Severity::info, "Velloq", m); },
         [&] { return toasts.banner(); },
         [](QSize size) { return QPoint(1440 - size.width() - 20, 900 - 875 + 20); }, 4000ms, ""},
        {"card", [&](const char* m) { showScreenshotCard(m); }, [&] { return toasts.card(); },
         [](QSize size) { return QPoint(1440 - size.width() - 20, 900 - 20 - size.height()); },
         6000ms, "Link saved to clipboard"},
    };
    for (const auto& c : cases) {
        c.show("https://velloq.test/i/first");
        QPointer<FloatingPanel> first = c.panel();
        ASSERT_NE(first, nullptr) << c.what;
        EXPECT_TRUE(first->isVisible()) << c.what;
        EXPECT_EQ(first->pos(), c.corner(first->size())) << c.what;
        platform.loop.advance(2000ms);
        c.show("https://velloq.test/i/second");
        if (first && first != c.panel()) {
            EXPECT_FALSE(first->isVisible()) << c.what;
        }

        platform.loop.advance(c.life - 1ms); // the first one's time has long passed
        ASSERT_NE(c.panel(), nullptr) << c.what;
        // Only the second banner shows; the first card's time passed without a reminder.
        EXPECT_EQ(bannerMessage().toStdString(),
                  c.panel() == toasts.banner() ? "https://velloq.test/i/second" : "")
            << c.what;
        platform.loop.advance(1ms);
        EXPECT_EQ(c.panel(), nullptr) << c.what;
        EXPECT_EQ(bannerMessage().toStdString(), c.reminder) << c.what;
        if (*c.reminder != 0) {
            EXPECT_EQ(banner()->severity(), Severity::success);
            EXPECT_EQ(banner()->shownTitle(), "Velloq");
        }
        toasts.dismissBanner();
    }
}

// Rounded corners need either a compositor (see-through window) or a mask.
TEST_F(ToastControllerTest, PanelsAreTranslucentWithACompositorAndMaskedWithoutOne) {
    for (const bool compositor : {false, true}) {
        platform.floatingWindows.compositor = compositor;
        toasts.showBanner(Severity::info, "Velloq", "hello");
        showScreenshotCard();
        for (FloatingPanel* panel : {toasts.banner(), toasts.card()}) {
            EXPECT_EQ(panel->testAttribute(Qt::WA_TranslucentBackground), compositor);
            EXPECT_EQ(panel->mask().isEmpty(), compositor);
            EXPECT_EQ(panel->size(), panel->content()->sizeHint());
        }
        toasts.dismissBanner();
        toasts.dismissCard();
    }
}

// Copy and markup leave the card up; a copied link needs no reminder.
TEST_F(ToastControllerTest, CopyAndMarkupKeepTheCardAndCopySuppressesTheReminder) {
    QImage seen;
    QSize pixels;
    toasts.onMarkup = [&](const QImage& image, QSize size) {
        seen = image;
        pixels = size;
    };
    showScreenshotCard("https://velloq.test/i/copy");
    cardButton("markup")->click();
    EXPECT_EQ(seen.size(), QSize(64, 40));
    EXPECT_EQ(pixels, QSize(64, 40));
    cardButton("copy")->click();
    EXPECT_EQ(platform.clipboard.text(), "https://velloq.test/i/copy");
    EXPECT_TRUE(toasts.cardCopied());
    EXPECT_EQ(cardButton("copy")->text(), "Copied");

    platform.loop.advance(5999ms);
    EXPECT_NE(toasts.card(), nullptr);
    platform.loop.advance(1ms);
    EXPECT_EQ(toasts.card(), nullptr);
    EXPECT_EQ(toasts.banner(), nullptr);
}

// However a video card goes, its recording goes with it, and only a card whose
// time ran out reminds of its link.
TEST_F(ToastControllerTest, AVideoCardsRecordingIsDeletedWhenTheCardGoes) {
    const struct {
        const char* how;
        std::function<void()> end;
        std::chrono::milliseconds later;
        const char* reminder; // that much later
    } cases[] = {
        {"time ran out", [&] { platform.loop.advance(1ms); }, 0ms, "Video link saved to clipboard"},
        {"replaced", [&] { showScreenshotCard(); }, 6000ms, "Link saved to clipboard"},
        {"dismissed", [&] { toasts.dismissCard(); }, 10000ms, ""},
    };
    for (const auto& c : cases) {
        toasts.dismissBanner();
        const auto file = recording();
        toasts.showVideoCard("https://velloq.test/v/1", std::nullopt, "0:07", file);
        platform.loop.advance(5999ms);
        EXPECT_TRUE(std::filesystem::exists(file)) << c.how;
        c.end();
        EXPECT_FALSE(std::filesystem::exists(file)) << c.how;
        platform.loop.advance(c.later);
        EXPECT_EQ(bannerMessage().toStdString(), c.reminder) << c.how;
    }
}

// Save asks where, writes exactly the card's bytes there, and says so only when it fails.
TEST_F(ToastControllerTest, SaveWritesTheCardsBytesWhereTheUserChose) {
    const struct {
        const char* what;
        bool video;
        std::optional<std::string> answer; // none: the user cancelled
        const char* written;
        const char* banner;
    } cases[] = {
        {"screenshot", false, "shot.png", "PNG bytes", ""},
        {"cancelled", false, std::nullopt, nullptr, ""},
        {"screenshot, failed write", false, "missing/shot.png", nullptr,
         "The screenshot could not be saved."},
        {"recording", true, "copy.mp4", "fMP4 bytes", ""},
        {"recording, failed write", true, "missing/copy.mp4", nullptr,
         "The recording could not be saved."},
    };
    for (const auto& c : cases) {
        toasts.dismissBanner();
        platform.savePanel.requests.clear();
        platform.savePanel.answer.reset();
        if (c.answer) {
            platform.savePanel.answer = dir.path() / *c.answer;
        }
        if (c.video) {
            toasts.showVideoCard("https://velloq.test/v/1", std::nullopt, "0:07", recording());
        } else {
            showScreenshotCard();
        }
        clickSave();
        ASSERT_EQ(platform.savePanel.requests.size(), 1u) << c.what;
        EXPECT_EQ(platform.savePanel.requests[0].suggestedName,
                  c.video ? "recording.mp4" : "screenshot.png")
            << c.what;
        EXPECT_EQ(platform.savePanel.requests[0].extension, c.video ? "mp4" : "png") << c.what;
        if (c.written) {
            EXPECT_EQ(velloq::testing::fileContents(dir.path() / *c.answer), c.written) << c.what;
        } else if (c.answer) {
            EXPECT_FALSE(std::filesystem::exists(dir.path() / *c.answer)) << c.what;
        }
        EXPECT_EQ(bannerMessage().toStdString(), c.banner) << c.what;
        if (*c.banner != 0) {
            EXPECT_EQ(banner()->severity(), Severity::error) << c.what;
        }
        EXPECT_NE(toasts.card(), nullptr) << c.what << ": the card stays until its time is up";
        if (c.answer) {
            std::filesystem::remove(dir.path() / *c.answer);
        }
    }
}

// An open save panel holds the card and its recording: the copy is made before
// anything is deleted, the card's six seconds are not extended, and a card
// whose time ran out meanwhile goes as soon as the panel closes.
TEST_F(ToastControllerTest, AnOpenSavePanelHoldsTheCardAndItsRecording) {
    const struct {
        const char* what;
        std::function<void()> whileOpen;
        bool recordingKept;             // right after the panel closes
        std::chrono::milliseconds left; // of the card showing then
        const char* reminder;
    } cases[] = {
        {"closed in time", [&] { platform.loop.advance(2000ms); }, true, 3000ms,
         "Video link saved to clipboard"},
        {"open past the card's time", [&] { platform.loop.advance(7000ms); }, false, 0ms,
         "Video link saved to clipboard"},
        {"replaced meanwhile", [&] { showScreenshotCard(); }, false, 6000ms,
         "Link saved to clipboard"},
    };
    const auto destination = dir.path() / "kept.mp4";
    platform.savePanel.answer = destination;
    for (const auto& c : cases) {
        toasts.dismissBanner();
        const auto file = recording(c.what);
        toasts.showVideoCard("https://velloq.test/v/1", std::nullopt, "0:07", file);
        platform.loop.advance(1000ms);
        platform.savePanel.whileOpen = [&] {
            c.whileOpen();
            EXPECT_NE(toasts.card(), nullptr) << c.what;
            EXPECT_TRUE(std::filesystem::exists(file)) << c.what;
            EXPECT_EQ(toasts.banner(), nullptr) << c.what;
        };
        clickSave();
        EXPECT_EQ(velloq::testing::fileContents(destination), c.what);
        EXPECT_EQ(std::filesystem::exists(file), c.recordingKept) << c.what;
        if (c.left > 0ms) {
            platform.loop.advance(c.left - 1ms);
            EXPECT_NE(toasts.card(), nullptr) << c.what;
            platform.loop.advance(1ms);
        }
        EXPECT_EQ(toasts.card(), nullptr) << c.what;
        EXPECT_FALSE(std::filesystem::exists(file)) << c.what;
        EXPECT_EQ(bannerMessage().toStdString(), c.reminder) << c.what;
    }
}

TEST_F(ToastControllerTest, OpenButtonsFollowTheirOwnLinkRules) {
    showScreenshotCard("https://velloq.test/i/ok");
    cardButton("open")->click();
    showScreenshotCard("HTTPS://velloq.test/i/shouting");
    cardButton("open")->click();
    toasts.showVideoCard("httpx://velloq.test/v/1", std::nullopt, "0:07", std::nullopt);
    cardButton("openInBrowser")->click();
    toasts.showVideoCard("ftp://velloq.test/v/2", std::nullopt, "0:07", std::nullopt);
    cardButton("openInBrowser")->click();
    EXPECT_FALSE(cardButton("save")->isEnabled()) << "a video card without a file cannot save";
    EXPECT_EQ(platform.application.openedURLs,
              (std::vector<std::string>{"https://velloq.test/i/ok", "httpx://velloq.test/v/1"}));
}

TEST_F(ToastControllerTest, WithoutAMainScreenPanelsStayAtTheOrigin) {
    platform.workArea.visible.reset();
    toasts.showBanner(Severity::info, "Velloq", "hello");
    EXPECT_EQ(toasts.banner()->pos(), QPoint(0, 900 - toasts.banner()->height()));
}

TEST(ToastControllerLifetime, TimersDieWithTheController) {
    testing::qtApp();
    FakePlatform platform;
    {
        ToastController toasts;
        toasts.showBanner(Severity::info, "Velloq", "hello");
        toasts.showVideoCard("https://velloq.test/v/1", std::nullopt, "0:07", std::nullopt);
    }
    EXPECT_EQ(platform.loop.pendingTimers(), 0u);
    platform.loop.advance(10000ms);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
} // namespace velloq
