#include "editor/AnnotationEditorView.h"
#include "editor/EditorBottomBar.h"
#include "editor/EditorCanvas.h"
#include "editor/EditorToolBar.h"
#include "editor/FitRect.h"
#include "editor/FloatingTextField.h"
#include "editor/MarkupTables.h"
#include "editor/ToolBarButtons.h"
#include "EditorFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace velloq::editor;

namespace {

class EditorViewTest : public velloq::testing::EditorFixture {
protected:
    EditorViewTest() : view(screenshot(), QSize(800, 600), QStringLiteral("shot.png"), services()) {
        view.resize(1000, 700);
        view.show();
        QApplication::processEvents();
    }

    EditorCanvas& canvas() { return view.canvas(); }
    EditorToolBar& toolBar() { return view.toolBar(); }
    const AnnotationList& annotations() { return view.state().annotations(); }
    void pick(AnnotationTool tool) { toolBar().toolButton(static_cast<std::size_t>(tool)).click(); }
    QLineEdit& field() { return canvas().textField().lineEdit(); }

    AnnotationEditorView view;
};

} // namespace

TEST_F(EditorViewTest, EveryToolDrawsWithThePointer) {
    drag(canvas(), {{10, 10}, {40, 40}, {80, 40}});
    pick(AnnotationTool::highlighter);
    drag(canvas(), {{10, 100}, {200, 100}});
    pick(AnnotationTool::arrow);
    drag(canvas(), {{300, 300}, {350, 320}, {400, 350}});
    pick(AnnotationTool::rect);
    drag(canvas(), {{500, 400}, {450, 300}});
    pick(AnnotationTool::number);
    click(canvas(), {600, 100});
    ASSERT_EQ(annotations().size(), 5u);
    EXPECT_EQ(annotations()[0].kind.index(), 0u); // pen
    EXPECT_EQ(std::get<kind::Pen>(annotations()[0].kind).points.size(), 3u);
    EXPECT_EQ(annotations()[1].kind.index(), 1u); // highlighter
    EXPECT_EQ(std::get<kind::Arrow>(annotations()[2].kind).end, QPointF(400, 350));
    EXPECT_EQ(std::get<kind::Rect>(annotations()[3].kind).rect, QRectF(450, 300, 50, 100));
    EXPECT_EQ(std::get<kind::Number>(annotations()[4].kind).point, QPointF(600, 100));

    pick(AnnotationTool::eraser);
    drag(canvas(), {{600, 100}, {500, 400}});
    EXPECT_EQ(annotations().size(), 3u) << "the badge and then the rectangle";
}

TEST_F(EditorViewTest, TextTypedInTheFieldIsAddedOnReturn) {
    pick(AnnotationTool::text);
    click(canvas(), {200, 150});
    ASSERT_TRUE(canvas().textField().isVisible());
    EXPECT_TRUE(field().hasFocus());
    const QPointF centre = QRectF(canvas().textField().geometry()).center();
    EXPECT_NEAR(centre.x(), 200, 0.5);
    EXPECT_NEAR(centre.y(), 150, 0.5);
    QTest::keyClicks(&field(), QStringLiteral("Look here"));
    EXPECT_EQ(view.state().editingText(), "Look here");
    QTest::keyClick(&field(), Qt::Key_Return);
    ASSERT_EQ(annotations().size(), 1u);
    const auto& text = std::get<kind::Text>(annotations()[0].kind);
    EXPECT_EQ(text.string, "Look here");
    EXPECT_EQ(text.point, QPointF(200, 150));
    EXPECT_FALSE(canvas().textField().isVisible());
}

TEST_F(EditorViewTest, PickingAColourOrSizeKeepsTypingInTheField) {
    pick(AnnotationTool::text);
    click(canvas(), {200, 150});
    QTest::keyClicks(&field(), QStringLiteral("ab"));
    toolBar().swatch(4).click();
    toolBar().sizeButton(2).click();
    EXPECT_TRUE(canvas().textField().isVisible());
    EXPECT_EQ(field().palette().color(QPalette::Text), markupPalette()[4]);
    EXPECT_EQ(field().font().pixelSize(), 18);
    QTest::keyClick(&field(), Qt::Key_Return);
    ASSERT_EQ(annotations().size(), 1u);
    EXPECT_EQ(annotations()[0].color, markupPalette()[4]);
    EXPECT_EQ(annotations()[0].width, 18);
}

TEST_F(EditorViewTest, UndoAndRedoButtonsFollowTheHistory) {
    EXPECT_FALSE(toolBar().undoButton().isEnabled());
    EXPECT_FALSE(toolBar().redoButton().isEnabled());
    drag(canvas(), {{10, 10}, {40, 40}});
    EXPECT_TRUE(toolBar().undoButton().isEnabled());
    toolBar().undoButton().click();
    EXPECT_TRUE(annotations().empty());
    EXPECT_FALSE(toolBar().undoButton().isEnabled());
    EXPECT_TRUE(toolBar().redoButton().isEnabled());
    toolBar().redoButton().click();
    EXPECT_EQ(annotations().size(), 1u);
}

TEST_F(EditorViewTest, TheSelectionsAreMarkedAndTheSizeGroupShowsFontSizesForText) {
    EXPECT_TRUE(toolBar().toolButton(0).selected());
    EXPECT_TRUE(toolBar().swatch(0).selected());
    EXPECT_EQ(toolBar().sizeButton(0).shows(), SizeButton::Shows::strokeWidth);
    EXPECT_TRUE(toolBar().sizeButton(1).selected());
    toolBar().sizeButton(0).click();
    toolBar().swatch(6).click();
    EXPECT_EQ(view.state().widthIndex(), 0);
    EXPECT_TRUE(toolBar().swatch(6).selected());
    EXPECT_FALSE(toolBar().swatch(0).selected());
    pick(AnnotationTool::text);
    EXPECT_FALSE(toolBar().toolButton(0).selected());
    EXPECT_TRUE(toolBar().toolButton(static_cast<std::size_t>(AnnotationTool::text)).selected());
    EXPECT_EQ(toolBar().sizeButton(0).shows(), SizeButton::Shows::fontSize);
    EXPECT_TRUE(toolBar().sizeButton(1).selected()) << "the font size index, not the width";
    toolBar().sizeButton(2).click();
    EXPECT_EQ(view.state().fontSizeIndex(), 2);
    EXPECT_EQ(view.state().widthIndex(), 0);
}

TEST_F(EditorViewTest, TheCanvasFollowsTheWindowAndShowsTheImageOnItsBackdrop) {
    const QSizeF before = view.state().canvasSize();
    view.resize(1200, 800);
    QApplication::processEvents();
    EXPECT_EQ(view.state().canvasSize(), before + QSizeF(200, 100));
    EXPECT_EQ(view.state().canvasSize(), QSizeF(canvas().size()));
    drag(canvas(), {{100, 100}, {200, 100}});
    const QImage shot = view.grab().toImage();
    const QPoint canvasOrigin = canvas().mapTo(&view, QPoint(0, 0));
    // The 400 x 300-point image, centred in the canvas, shows its grey.
    const QPoint centre = canvasOrigin + QRect(QPoint(), canvas().size()).center();
    EXPECT_EQ(QColor(shot.pixel(centre)), QColor(230, 230, 230));
    // The coral pen stroke over it.
    EXPECT_EQ(shot.pixel(canvasOrigin + QPoint(150, 100)), markupPalette()[0].rgb());
    // Its shadow shows below it and under its rounded corner.
    const QRectF image = fitRect(QSizeF(canvas().size()), {400, 300}).translated(canvasOrigin);
    const auto lightness = [&](QPointF p) { return QColor(shot.pixel(p.toPoint())).lightness(); };
    const int backdrop = lightness(image.bottomLeft() + QPointF(-60, 60));
    EXPECT_LT(lightness({image.center().x(), image.bottom() + 4}), backdrop - 8);
    EXPECT_LT(lightness(image.bottomRight() + QPointF(-1, -1)), backdrop - 8);
    EXPECT_EQ(lightness(image.bottomRight() + QPointF(-12, -12)), 230) << "the image covers it";
}
