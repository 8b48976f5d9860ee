#include "editor/EditorState.h"
#include "editor/EraserHitTest.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace velloq::editor;

namespace {

Annotation make(Kind kind) {
    return Annotation::make(std::move(kind), Qt::red, 4);
}

// An editor holding `kinds` in order, with the eraser selected.
EditorState editorWith(std::initializer_list<Kind> kinds) {
    EditorState state;
    for (const Kind& kind : kinds) {
        state.addAnnotation(kind);
    }
    state.selectTool(AnnotationTool::eraser);
    return state;
}

} // namespace

TEST(EraserHitTest, StrokesAreHitNearTheirPointsOnly) {
    const Annotation pen = make(kind::Pen{{{0, 0}, {100, 0}}});
    EXPECT_TRUE(eraserHits(pen, {13.9, 0}));
    EXPECT_FALSE(eraserHits(pen, {14, 0})) << "under 14, not up to 14";
    EXPECT_FALSE(eraserHits(pen, {50, 0})) << "the segment between points does not count";
    const Annotation highlighter = make(kind::Highlighter{{{0, 0}, {100, 0}}});
    EXPECT_TRUE(eraserHits(highlighter, {100, 10}));
    EXPECT_FALSE(eraserHits(highlighter, {50, 0}));
}

TEST(EraserHitTest, ArrowsAreHitNearTheirEndsOrInsideTheirGrownBox) {
    const Annotation arrow = make(kind::Arrow{{0, 0}, {300, 0}});
    EXPECT_TRUE(eraserHits(arrow, {-13, 0})) << "13 from the start";
    EXPECT_TRUE(eraserHits(arrow, {150, 13})) << "inside the box grown by 14";
    EXPECT_FALSE(eraserHits(arrow, {150, 15}));

    // 20 points off the middle of a diagonal arrow is far from the line's
    // ends but inside its grown bounding box.
    const Annotation diagonal = make(kind::Arrow{{0, 0}, {200, 200}});
    const QPointF offMiddle(100 + 20 / std::sqrt(2.0), 100 - 20 / std::sqrt(2.0));
    EXPECT_TRUE(eraserHits(diagonal, offMiddle));
    EXPECT_TRUE(eraserHits(diagonal, {190, 10})) << "the box, not the line, decides";
    EXPECT_FALSE(eraserHits(diagonal, {220, 100}));
}

TEST(EraserHitTest, RectanglesAreHitInsideAndWithinTheMargin) {
    const Annotation rect = make(kind::Rect{QRectF(100, 100, 50, 40)});
    EXPECT_TRUE(eraserHits(rect, {125, 120})) << "the inside counts";
    EXPECT_TRUE(eraserHits(rect, {87, 100}));
    EXPECT_FALSE(eraserHits(rect, {85, 100}));
    const Annotation dot = make(kind::Rect{QRectF(10, 10, 0, 0)});
    EXPECT_TRUE(eraserHits(dot, {20, 20})) << "a zero-size rectangle keeps its margin";
}

TEST(EraserHitTest, TextAndBadgesAreHitNearTheirAnchor) {
    const Annotation text = make(kind::Text{QStringLiteral("A long label here"), {100, 100}});
    EXPECT_TRUE(eraserHits(text, {117, 100}));
    EXPECT_FALSE(eraserHits(text, {140, 100})) << "the text's extent does not count";
    const Annotation badge = make(kind::Number{3, {0, 0}});
    EXPECT_TRUE(eraserHits(badge, {0, 17.9}));
    EXPECT_FALSE(eraserHits(badge, {0, 18}));
}

TEST(Eraser, RemovesOnlyTheUpperOfTwoOverlappingAnnotations) {
    EditorState state =
        editorWith({kind::Rect{QRectF(0, 0, 100, 100)}, kind::Rect{QRectF(50, 50, 100, 100)}});
    const QUuid lower = state.annotations()[0].id;
    state.press({75, 75});
    ASSERT_EQ(state.annotations().size(), 1u);
    EXPECT_EQ(state.annotations()[0].id, lower);
}

TEST(Eraser, ErasesOnPressAndEveryMovementEachItsOwnStep) {
    EditorState state =
        editorWith({kind::Number{1, {0, 0}}, kind::Number{2, {100, 0}}, kind::Number{3, {200, 0}}});
    const auto before = state.undoStack().size();
    state.press({0, 0});
    EXPECT_EQ(state.annotations().size(), 2u) << "erased on the press";
    state.move({100, 0});
    state.move({150, 0}); // nothing here
    state.move({200, 0});
    EXPECT_TRUE(state.annotations().empty());
    state.release({200, 0});
    EXPECT_EQ(state.undoStack().size(), before + 3);
    state.undo();
    EXPECT_EQ(state.annotations().size(), 1u);
}

TEST(Eraser, AMissPushesNoUndoStepAndKeepsRedo) {
    EditorState empty;
    empty.selectTool(AnnotationTool::eraser);
    empty.press({10, 10});
    empty.move({20, 20});
    empty.release({20, 20});
    EXPECT_FALSE(empty.canUndo()) << "an empty canvas changes nothing";

    EditorState state = editorWith({kind::Number{1, {0, 0}}});
    state.undo();
    state.redo();
    state.undo();
    ASSERT_TRUE(state.canRedo());
    state.eraseAt({500, 500});
    EXPECT_TRUE(state.canRedo());
}
