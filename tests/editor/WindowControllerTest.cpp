#include "editor/AnnotationEditorView.h"
#include "editor/AnnotationWindowController.h"
#include "editor/EditorBottomBar.h"
#include "editor/EditorCanvas.h"
#include "editor/EditorWindow.h"
#include "editor/FloatingTextField.h"
#include "EditorFixture.h"
#include "platform/qt/QtClipboard.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace velloq::editor;

namespace {

// The controller is the process's one instance; each test gives it its own
// services and leaves its window hidden.
class WindowControllerTest : public velloq::testing::EditorFixture {
protected:
    WindowControllerTest() { controller.setServices(services()); }
    ~WindowControllerTest() override {
        if (EditorWindow* shownWindow = controller.window()) {
            shownWindow->showNormal();
            shownWindow->hide();
        }
        QApplication::processEvents();
    }

    // Both exist once the editor was shown; a test that asks before is wrong.
    EditorWindow& window() { return *shown(controller.window()); }
    AnnotationEditorView& view() { return *shown(controller.view()); }
    template <class T> static T* shown(T* widget) {
        if (widget == nullptr) {
            std::abort();
        }
        return widget;
    }

    AnnotationWindowController& controller = AnnotationWindowController::shared();
};

} // namespace

TEST_F(WindowControllerTest, ShowOpensTheEditorNamedForNowAndASecondShowReplacesIt) {
    controller.show(screenshot({2880, 1800}), QSize(2880, 1800));
    ASSERT_NE(controller.window(), nullptr);
    EXPECT_TRUE(window().isVisible());
    const QRegularExpression name(
        QStringLiteral(R"(^Screenshot \d{4}-\d\d-\d\d at \d\d\.\d\d\.\d\d\.png$)"));
    EXPECT_TRUE(name.match(window().title()).hasMatch()) << window().title().toStdString();
    EXPECT_EQ(window().subtitle(), QStringLiteral("2880 × 1800"));
    EXPECT_TRUE(window().windowTitle().endsWith(QStringLiteral(" — 2880 × 1800")));
    EXPECT_EQ(view().actions().fileName(), window().title().toStdString());

    EditorWindow* first = controller.window();
    QPointer<AnnotationEditorView> old = controller.view();
    view().state().addAnnotation(kind::Number{1, {10, 10}});
    controller.show(screenshot({1000, 500}), QSize(1000, 500));
    EXPECT_EQ(controller.window(), first) << "one window, reused";
    EXPECT_NE(controller.view(), old.data());
    EXPECT_TRUE(view().state().annotations().empty());
    EXPECT_EQ(window().subtitle(), QStringLiteral("1000 × 500"));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(old.isNull()) << "the old editor is gone once the event loop runs";
}

// An open field, focused or not, takes the first Escape.
TEST_F(WindowControllerTest, EscapeCancelsTextFirstThenHides) {
    controller.show(screenshot(), QSize(800, 600));
    view().state().selectTool(AnnotationTool::text);
    click(view().canvas(), {100, 100});
    QTest::keyClick(&window(), Qt::Key_Escape);
    EXPECT_TRUE(window().isVisible());
    EXPECT_FALSE(view().state().editingPoint().has_value());

    click(view().canvas(), {100, 100});
    QLineEdit& field = view().canvas().textField().lineEdit();
    QTest::keyClicks(&field, QStringLiteral("typed"));
    QTest::keyClick(&field, Qt::Key_Escape);
    EXPECT_FALSE(view().state().editingPoint().has_value());
    EXPECT_FALSE(view().canvas().textField().isVisible());
    EXPECT_TRUE(window().isVisible()) << "the first Escape only cancels the text";
    click(view().canvas(), {200, 100});
    EXPECT_EQ(field.text(), "") << "a new field starts empty";
    QTest::keyClick(&field, Qt::Key_Escape);

    QTest::keyClick(&window(), Qt::Key_Escape);
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(view().state().annotations().empty()) << "nothing was committed";
}

TEST_F(WindowControllerTest, ClosingHidesTheOneWindowEvenFromFullScreen) {
    controller.show(screenshot(), QSize(800, 600));
    EditorWindow* shown = controller.window();
    EXPECT_FALSE(window().close()) << "the close is turned into a hide";
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(controller.window(), shown);

    controller.show(screenshot(), QSize(800, 600));
    EXPECT_TRUE(window().isVisible());
    view().bottomBar().copyLinkButton().click();
    finishUpload(std::string("https://vel.lq/done"));
    EXPECT_FALSE(window().isVisible());

    controller.show(screenshot(), QSize(800, 600));
    window().showFullScreen();
    ASSERT_TRUE(window().isFullScreen());
    controller.close();
    EXPECT_FALSE(window().isFullScreen());
    EXPECT_FALSE(window().isVisible()) << "hidden once full screen was left";
    EXPECT_FALSE(controller.closeAfterFullScreenExit());

    controller.show(screenshot(), QSize(800, 600));
    window().showFullScreen();
    window().showNormal();
    EXPECT_TRUE(window().isVisible()) << "leaving full screen by hand keeps the editor open";
}

TEST_F(WindowControllerTest, AnUploadFromAReplacedEditorLeavesTheNewOneOpen) {
    controller.show(screenshot(), QSize(800, 600));
    QPointer<AnnotationEditorView> replaced = controller.view();
    view().actions().copyLinkAndDoneAction();
    controller.show(screenshot(), QSize(800, 600));
    QApplication::processEvents(); // shows and lays out the new editor
    // First while the replaced editor still exists, then after it was deleted.
    ASSERT_FALSE(replaced.isNull());
    view().actions().copyLinkAndDoneAction();
    finishUpload(std::string("https://vel.lq/old"));
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(platform.clipboard.text(), "https://vel.lq/old");
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    controller.show(screenshot(), QSize(800, 600));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    finishUpload(std::string("https://vel.lq/older"));
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(platform.clipboard.text(), "https://vel.lq/older");
    ASSERT_EQ(banners.size(), 2u);
    EXPECT_EQ(banners[1].message, "Link copied to clipboard");
}

// The shortcut and the bottom bar's button both put the rendered PNG on the
// real clipboard and say so.
TEST_F(WindowControllerTest, CtrlSuperCAndCopyImagePutAPngOnTheRealClipboard) {
    velloq::platform::QtClipboard clipboard;
    velloq::platform::Services services = velloq::platform::installed();
    services.clipboard = &clipboard;
    velloq::platform::install(services);

    controller.show(screenshot(), QSize(800, 600));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QTest::keyClick(&window(), Qt::Key_C, Qt::ControlModifier | Qt::MetaModifier);
    view().bottomBar().copyImageButton().click();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    const QByteArray png = mime->data(QStringLiteral("image/png"));
    EXPECT_TRUE(png.startsWith("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(QImage::fromData(png, "PNG").size(), QSize(800, 600));
    EXPECT_TRUE(mime->hasImage());
    ASSERT_EQ(banners.size(), 2u);
    for (const auto& banner : banners) {
        EXPECT_EQ(banner.severity, velloq::Severity::success);
        EXPECT_EQ(banner.title, "Velloq");
        EXPECT_EQ(banner.message, "Image copied to clipboard");
    }
}
