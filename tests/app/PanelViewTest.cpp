#include "app/panel/MenuBarPanel.h"
#include "app/panel/MenuItemView.h"
#include "app/panel/PanelPopup.h"
#include "app/panel/PopupPosition.h"
#include "app/panel/TrayMenu.h"
#include "fakes/FakePlatform.h"
#include "feedback/RenderSupport.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>
#include <QKeyEvent>
#include <QMenu>
#include <QTest>

namespace velloq {
namespace {

using Status = StatusService::Status;
using testing::closeTo;
using testing::pixel;

class PanelViewTest : public ::testing::Test {
protected:
    PanelViewTest() { testing::qtApp(); }
    ~PanelViewTest() override { pool.shutdown(); }

    // One health probe answered with `status`, its outcome delivered on the main thread.
    void probe(int status) {
        platform.http.setHandler(
            [status](const auto&) { return testing::FakeHttp::respond(status); });
        service.check();
        pool.waitIdle();
        platform.loop.runPending();
    }

    // Records which row actions ran; Record screen has none, as before the recording flow.
    PanelActions recorded() {
        auto note = [this](const char* name) { return [this, name] { ran.emplace_back(name); }; };
        return {note("capture"), {}, note("settings"), note("permissions"), note("quit")};
    }

    testing::FakePlatform platform;
    TaskPool pool{1};
    StatusService service{pool};
    std::vector<std::string> ran;
};

// The rows' places are where the tray end-to-end test clicks them.
TEST_F(PanelViewTest, EveryTitleStartsInOneColumn) {
    MenuBarPanel panel(service, recorded());
    const QImage image = testing::render(panel);
    // The first inked column of each title, Quit Velloq (no symbol) included.
    for (std::size_t i = 0; i < MenuBarPanel::rowCount; ++i) {
        const QRect row = panel.row(i)->geometry();
        int start = -1;
        for (int x = row.x() + MenuItemView::titleX - 6; x < row.x() + 60 && start < 0; ++x) {
            for (int y = row.top(); y <= row.bottom() && start < 0; ++y) {
                start = image.pixelColor(x, y).alpha() > 40 ? x : -1;
            }
        }
        EXPECT_NEAR(start, panel.row(0)->x() + MenuItemView::titleX, 2) << i;
    }
}

TEST_F(PanelViewTest, StatusLineFollowsEveryProbe) {
    MenuBarPanel panel(service, recorded());
    const QPointF dot = panel.dotRect().center();
    struct Step {
        int answer; // 0: no probe yet
        QColor colour;
        QString text;
    };
    for (const Step& step :
         {Step{0, Theme::amber(), QString::fromUtf8("Connecting\u2026")},
          Step{204, Theme::green(), "Connected"}, Step{503, Theme::red(), "Offline"},
          Step{200, Theme::green(), "Connected"}}) {
        if (step.answer != 0) {
            probe(step.answer);
        }
        EXPECT_EQ(panel.statusText(), step.text) << step.answer;
        EXPECT_TRUE(closeTo(pixel(testing::render(panel), dot.x(), dot.y()), step.colour))
            << step.answer;
    }
}

TEST_F(PanelViewTest, APanelClosedBeforeTheNextProbeIsNotCalled) {
    { MenuBarPanel panel(service, recorded()); }
    probe(204); // would reach the destroyed panel if it still observed
    EXPECT_EQ(service.status(), Status::online);
}

TEST_F(PanelViewTest, HoverLightsEnabledRowsAndClicksRunTheirActions) {
    MenuBarPanel panel(service, recorded());
    MenuItemView* settings = panel.row(2);
    const QPointF inside(settings->x() + 3, settings->geometry().center().y());
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QApplication::sendEvent(settings, &enter);
    EXPECT_TRUE(closeTo(pixel(testing::render(panel), inside.x(), inside.y()), Theme::coral()));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(settings, &leave);
    EXPECT_EQ(pixel(testing::render(panel), inside.x(), inside.y()).alpha(), 0);

    MenuItemView* record = panel.row(1);
    EXPECT_FALSE(record->isEnabled()) << "no recording flow yet";
    QApplication::sendEvent(record, &enter);
    EXPECT_FALSE(record->hovering());

    for (std::size_t i = 0; i < MenuBarPanel::rowCount; ++i) {
        testing::click(*panel.row(i), QPointF(20, 13));
    }
    EXPECT_EQ(ran, (std::vector<std::string>{"capture", "settings", "permissions", "quit"}));
}

TEST_F(PanelViewTest, PopupOpensNextToTheIconOrThePointerInsideTheWorkArea) {
    const QRect work(0, 0, 1920, 1050); // a 30-pixel panel along the bottom
    const QSize panel(257, 246);
    struct Case {
        const char* what;
        QRect icon;
        QPoint pointer;
        QPoint expected;
    };
    for (const Case& c : {
             Case{"bottom tray: above, centred", QRect(900, 1054, 22, 22), {}, {782, 804}},
             Case{"bottom-right corner: pulled in", QRect(1890, 1054, 22, 22), {}, {1663, 804}},
             Case{"top tray: below", QRect(10, 2, 22, 22), {}, {0, 28}},
             Case{"no icon: at the pointer", QRect(), {500, 300}, {500, 301}},
             Case{"no icon, low pointer: upwards", QRect(), {500, 1000}, {500, 754}},
             Case{"no icon at the far right", QRect(), {1910, 100}, {1663, 101}},
         }) {
        EXPECT_EQ(popupPosition(c.icon, c.pointer, work, panel), c.expected) << c.what;
    }
}

TEST_F(PanelViewTest, PopupClosesOnEscapeAndBeforeTheChosenRowRuns) {
    PanelPopup popup(service, recorded());
    popup.toggle(QRect(900, 700, 22, 22));
    ASSERT_TRUE(popup.isVisible());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&popup, &escape);
    EXPECT_FALSE(popup.isVisible());
    popup.toggle(QRect(900, 700, 22, 22));
    EXPECT_FALSE(popup.isVisible()) << "the click that closed it does not reopen it";

    QTest::qWait(350);
    popup.toggle(QRect(900, 700, 22, 22));
    ASSERT_TRUE(popup.isVisible());
    testing::click(*popup.panel().row(2), QPointF(20, 13));
    EXPECT_FALSE(popup.isVisible());
    EXPECT_TRUE(ran.empty()) << "the action waits until the panel is gone";
    QTest::qWait(50);
    EXPECT_EQ(ran, std::vector<std::string>{"settings"});
}

TEST_F(PanelViewTest, TrayMenuHasTheFiveCommandsWithLinuxLabelsAndNoKeyBindings) {
    QMenu menu;
    buildTrayMenu(menu, recorded());
    QStringList texts;
    for (QAction* action : menu.actions()) {
        if (!action->isSeparator()) {
            texts << action->text();
            EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
            EXPECT_EQ(action->isEnabled(), !action->text().startsWith("Record"));
        }
    }
    EXPECT_EQ(texts, QStringList({"Capture\tCtrl+Super+U", "Record screen\tCtrl+Super+R",
                                  QString::fromUtf8("Settings\u2026\tCtrl+,"),
                                  QString::fromUtf8("Permissions\u2026"), "Quit Velloq\tCtrl+Q"}));
    menu.actions().last()->trigger();
    EXPECT_EQ(ran, std::vector<std::string>{"quit"});
}

} // namespace
} // namespace velloq
