// Banners and cards on a real X server with a window manager: where they
// appear, that they leave the focus alone, that they are on every workspace
// and that they go on time.

#include "feedback/ToastController.h"
#include "platform/qt/QtClipboard.h"
#include "support/PanelDesktopTest.h"

#include <chrono>
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <thread>

namespace velloq {
namespace {

using namespace std::chrono_literals;
using testing::XServer;

constexpr testing::Margins margins = testing::panelDesktopMargins;

// Primary monitor: x 1600..3520, work area y 24..1044 (openbox's margins).
constexpr int primaryRight = 1600 + 1920;
constexpr int workTop = margins.top;
constexpr int workBottom = 1080 - margins.bottom;

class FloatingPanelX11Test : public testing::PanelDesktopTest {
protected:
    void addServices(platform::Services& services) override { services.clipboard = &clipboard; }
    void beforeTearDown() override {
        toasts.dismissBanner();
        toasts.dismissCard();
    }
    bool viewable(unsigned long id) {
        const auto state = desktop()->window(id);
        return state && state->viewable;
    }
    void clickAt(QPoint global) {
        desktop()->output({"/usr/bin/xdotool", "mousemove", std::to_string(global.x()),
                           std::to_string(global.y()), "click", "1"});
    }
    void expectFocusUntouched() {
        EXPECT_EQ(desktop()->activeWindow(), focusTarget.winId());
        EXPECT_EQ(desktop()->focusedWindow(), focusTarget.winId());
    }

    platform::QtClipboard clipboard;
    ToastController toasts;
};

// Their timing is the controller's; here the window manager must leave them in place,
// above other windows.
TEST_F(FloatingPanelX11Test, PanelsSitAboveAllInThePrimaryWorkAreasCornersOnEveryWorkspace) {
    QImage image(1440, 900, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    toasts.showCard("https://velloq.test/i/x11", image, QByteArray("png"));
    toasts.showBanner(Severity::success, "Velloq", "Link copied to clipboard");
    const auto bannerId = toasts.banner()->winId();
    const auto cardId = toasts.card()->winId();
    ASSERT_TRUE(eventually([&] { return viewable(bannerId) && viewable(cardId); }));
    settle();
    const auto banner = desktop()->window(bannerId);
    const auto card = desktop()->window(cardId);
    ASSERT_TRUE(banner && card);
    EXPECT_EQ(banner->x + banner->width, primaryRight - 20);
    EXPECT_EQ(banner->y, workTop + 20);
    EXPECT_EQ(card->x + card->width, primaryRight - 20);
    EXPECT_EQ(card->y + card->height, workBottom - 20);
    expectFocusUntouched();
    const std::string properties = desktop()->output(
        {"/usr/bin/xprop", "-id", std::to_string(bannerId), "_NET_WM_STATE", "_NET_WM_DESKTOP"});
    EXPECT_NE(properties.find("_NET_WM_STATE_ABOVE"), std::string::npos) << properties;
    EXPECT_NE(properties.find("4294967295"), std::string::npos) << properties;
    // No compositor runs here: the corners come from the mask.
    EXPECT_FALSE(floating.compositing());
    EXPECT_FALSE(toasts.banner()->mask().isEmpty());

    desktop()->output({"/usr/bin/xdotool", "set_desktop", "1"});
    settle();
    EXPECT_TRUE(viewable(cardId) && viewable(bannerId)) << "still there on another workspace";
    desktop()->output({"/usr/bin/xdotool", "set_desktop", "0"});
    fake.loop.advance(6000ms);
    EXPECT_TRUE(eventually([&] { return !viewable(cardId) && !viewable(bannerId); }));
}

TEST_F(FloatingPanelX11Test, ClickingPanelsWorksWithoutTakingTheFocus) {
    toasts.showCard("https://velloq.test/i/click", QImage(), QByteArray("png"));
    toasts.showBanner(Severity::info, "Velloq", "Click me");
    FloatingPanel* card = toasts.card();
    const auto bannerId = toasts.banner()->winId();
    ASSERT_TRUE(eventually([&] { return viewable(card->winId()) && viewable(bannerId); }));
    settle();

    auto* copy = card->findChild<QAbstractButton*>("copy");
    clickAt(copy->mapToGlobal(copy->rect().center()));
    ASSERT_TRUE(eventually([&] { return toasts.cardCopied(); }));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "https://velloq.test/i/click");
    settle();
    expectFocusUntouched();

    clickAt(toasts.banner()->geometry().center());
    ASSERT_TRUE(eventually([&] { return toasts.banner() == nullptr; }));
    EXPECT_TRUE(eventually([&] { return !viewable(bannerId); }));
    settle();
    expectFocusUntouched();
}

} // namespace
} // namespace velloq
