#include "editor/EditorState.h"

#include "editor/MarkupTables.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>

using namespace velloq::editor;

namespace {

// Throws, failing the test, when the annotation is of another kind.
template <class K> const K& as(const Annotation& annotation) {
    return std::get<K>(annotation.kind);
}

void click(EditorState& state, QPointF at) {
    state.press(at);
    state.release(at);
}

void drag(EditorState& state, std::initializer_list<QPointF> path) {
    auto point = path.begin();
    state.press(*point);
    for (++point; point != path.end(); ++point) {
        state.move(*point);
    }
    state.release(*(path.end() - 1));
}

} // namespace

TEST(PenGestures, AClickAddsNothingAndEveryReportedPositionJoinsTheStroke) {
    EditorState state;
    click(state, {10, 10});
    EXPECT_TRUE(state.annotations().empty());
    EXPECT_FALSE(state.canUndo()) << "a click that adds nothing records no undo step";

    state.press({0, 0});
    for (const QPointF at : {QPointF(0, 0), QPointF(0.1, 0), QPointF(0.2, 0)}) {
        state.move(at);
    }
    EXPECT_EQ(state.gesture().penPoints.size(), 4u) << "the stroke grows with every movement";
    EXPECT_TRUE(state.annotations().empty()) << "nothing is added before the release";
    state.release({5, 5});
    ASSERT_EQ(state.annotations().size(), 1u);
    EXPECT_EQ(as<kind::Pen>(state.annotations()[0]).points,
              (std::vector<QPointF>{{0, 0}, {0, 0}, {0.1, 0}, {0.2, 0}}))
        << "the press and the movements without thinning, not the release";
    EXPECT_TRUE(state.gesture().penPoints.empty());
}

TEST(RectGestures, ADragInAnyDirectionIsStoredNormalised) {
    EditorState state;
    state.selectTool(AnnotationTool::rect);
    drag(state, {{100, 80}, {60, 50}, {30, 20}});
    ASSERT_EQ(state.annotations().size(), 1u);
    EXPECT_EQ(as<kind::Rect>(state.annotations()[0]).rect, QRectF(30, 20, 70, 60));

    drag(state, {{10, 90}, {50, 40}});
    EXPECT_EQ(as<kind::Rect>(state.annotations()[1]).rect, QRectF(10, 40, 40, 50));
    EXPECT_FALSE(state.gesture().dragStart.has_value());

    click(state, {40, 40});
    ASSERT_EQ(state.annotations().size(), 3u);
    EXPECT_EQ(as<kind::Rect>(state.annotations()[2]).rect, QRectF(40, 40, 0, 0))
        << "a click adds a zero-size rectangle";
}

TEST(ArrowGestures, RunsFromThePressToTheRelease) {
    EditorState state;
    state.selectTool(AnnotationTool::arrow);
    state.press({5, 5});
    state.move({50, 60});
    EXPECT_EQ(state.gesture().dragStart, QPointF(5, 5));
    EXPECT_EQ(state.gesture().dragCurrent, QPointF(50, 60));
    state.move({70, 80});
    EXPECT_EQ(state.gesture().dragStart, QPointF(5, 5)) << "the start stays put";
    state.release({90, 95});
    ASSERT_EQ(state.annotations().size(), 1u);
    const auto& arrow = as<kind::Arrow>(state.annotations()[0]);
    EXPECT_EQ(arrow.start, QPointF(5, 5));
    EXPECT_EQ(arrow.end, QPointF(90, 95));
    click(state, {7, 8});
    ASSERT_EQ(state.annotations().size(), 2u) << "a click adds a zero-length arrow";
    EXPECT_EQ(as<kind::Arrow>(state.annotations()[1]).end, QPointF(7, 8));
}

// Badges count up from 1 whatever is undone, and take the stroke width at creation.
TEST(NumberGestures, BadgesGoWhereTheReleaseIsAndCountUpThroughUndo) {
    EditorState state;
    state.selectTool(AnnotationTool::number);
    state.press({1, 1});
    EXPECT_TRUE(state.annotations().empty()) << "nothing on the press";
    state.move({5, 5});
    state.release({30, 40});
    state.selectWidth(2);
    click(state, {60, 40});
    ASSERT_EQ(state.annotations().size(), 2u);
    EXPECT_EQ(as<kind::Number>(state.annotations()[0]).number, 1);
    EXPECT_EQ(as<kind::Number>(state.annotations()[0]).point, QPointF(30, 40));
    EXPECT_EQ(as<kind::Number>(state.annotations()[1]).number, 2);
    EXPECT_EQ(state.annotations()[1].width, 7);
    state.undo();
    state.undo();
    click(state, {10, 10});
    ASSERT_EQ(state.annotations().size(), 1u);
    EXPECT_EQ(as<kind::Number>(state.annotations()[0]).number, 3);
}

TEST(TextEntry, AReleaseOpensAFieldWhoseCommitKeepsTrimmedTextInTheCurrentFontSize) {
    EditorState state;
    state.selectTool(AnnotationTool::text);
    state.selectWidth(0);
    state.press({20, 30});
    EXPECT_FALSE(state.editingPoint().has_value()) << "the field opens on the release";
    state.release({50, 60});
    EXPECT_EQ(state.editingPoint(), QPointF(50, 60));
    EXPECT_TRUE(state.textFocused());
    state.setEditingText(QStringLiteral("  Hello\n"));
    state.selectFontSize(2);
    state.selectColor(3);
    state.commitText();
    ASSERT_EQ(state.annotations().size(), 1u);
    const Annotation& text = state.annotations()[0];
    EXPECT_EQ(as<kind::Text>(text).string, "Hello");
    EXPECT_EQ(as<kind::Text>(text).point, QPointF(50, 60));
    EXPECT_EQ(text.width, 18) << "the font size at commit, whatever the stroke width";
    EXPECT_EQ(text.color, markupPalette()[3]) << "the colour at commit";
    EXPECT_FALSE(state.editingPoint().has_value());
    EXPECT_FALSE(state.textFocused());
    EXPECT_EQ(state.editingText(), "");
    EXPECT_TRUE(state.canUndo());
}

// Every way an open field ends: what it leaves in the list and whether a field stays open.
TEST(TextEntry, EachWayOfLeavingTheFieldCommitsOrDropsTheText) {
    const struct {
        const char* how;
        QString typed;
        std::function<void(EditorState&)> leave;
        std::optional<QPointF> committedAt; // none: nothing added, no undo step
        std::optional<QPointF> openAfter;
    } cases[] = {
        {"blank text", QStringLiteral(" \t\n  \r\n"), [](EditorState& s) { s.commitText(); },
         std::nullopt, std::nullopt},
        {"cancel", QStringLiteral("draft"), [](EditorState& s) { s.cancelText(); }, std::nullopt,
         std::nullopt},
        {"click elsewhere", QStringLiteral("first"),
         [](EditorState& s) {
             click(s, {100, 100});
         },
         QPointF(10, 20), QPointF(100, 100)},
        {"another tool", QStringLiteral("word"),
         [](EditorState& s) { s.selectTool(AnnotationTool::pen); }, QPointF(10, 20), std::nullopt},
        {"the same tool again", QStringLiteral("word"),
         [](EditorState& s) { s.selectTool(AnnotationTool::text); }, std::nullopt, QPointF(10, 20)},
    };
    for (const auto& c : cases) {
        EditorState state;
        state.selectTool(AnnotationTool::text);
        click(state, {10, 20});
        state.setEditingText(c.typed);
        c.leave(state);
        if (c.committedAt) {
            ASSERT_EQ(state.annotations().size(), 1u) << c.how;
            EXPECT_EQ(as<kind::Text>(state.annotations()[0]).string, c.typed) << c.how;
            EXPECT_EQ(as<kind::Text>(state.annotations()[0]).point, *c.committedAt) << c.how;
        } else {
            EXPECT_TRUE(state.annotations().empty()) << c.how;
            EXPECT_FALSE(state.canUndo()) << c.how;
        }
        EXPECT_EQ(state.editingPoint(), c.openAfter) << c.how;
        if (c.openAfter != QPointF(10, 20)) {
            EXPECT_EQ(state.editingText(), "") << c.how;
        }
    }
}

TEST(History, UndoAndRedoSwapWholeLists) {
    EditorState state;
    drag(state, {{0, 0}, {1, 1}});
    drag(state, {{2, 2}, {3, 3}});
    const AnnotationList both = state.annotations();
    state.undo();
    EXPECT_EQ(state.annotations().size(), 1u);
    EXPECT_TRUE(state.canRedo());
    state.redo();
    ASSERT_EQ(state.annotations().size(), 2u);
    EXPECT_EQ(state.annotations()[1].id, both[1].id) << "redo restores the same annotation";
    state.undo();
    state.undo();
    EXPECT_TRUE(state.annotations().empty());
    EXPECT_FALSE(state.canUndo());
    state.undo(); // nothing left: harmless
    EXPECT_EQ(state.redoStack().size(), 2u);
    drag(state, {{5, 5}, {6, 6}});
    EXPECT_FALSE(state.canRedo()) << "any new change forgets what was undone";
}

TEST(History, ACommittedTextAndAnErasureAreEachOneStepAndUndoLeavesAnOpenFieldAlone) {
    EditorState state;
    state.selectTool(AnnotationTool::text);
    click(state, {40, 40});
    state.setEditingText(QStringLiteral("x"));
    state.commitText();
    state.selectTool(AnnotationTool::eraser);
    click(state, {40, 40});
    EXPECT_TRUE(state.annotations().empty());
    EXPECT_EQ(state.undoStack().size(), 2u);
    state.undo();
    EXPECT_EQ(state.annotations().size(), 1u);

    state.selectTool(AnnotationTool::text);
    click(state, {9, 9});
    state.undo();
    EXPECT_TRUE(state.annotations().empty());
    EXPECT_EQ(state.tool(), AnnotationTool::text);
    EXPECT_EQ(state.editingPoint(), QPointF(9, 9));
}

TEST(ToolBarChoices, IndicesOutsideTheTablesAreIgnoredAndAToolChangeDropsTheGesture) {
    EditorState state;
    state.selectColor(7);
    state.selectWidth(3);
    state.selectFontSize(-1);
    EXPECT_EQ(state.colorIndex(), 0);
    EXPECT_EQ(state.widthIndex(), 1);
    EXPECT_EQ(state.fontSizeIndex(), 1);

    state.press({1, 1});
    state.move({2, 2});
    state.selectTool(AnnotationTool::rect);
    state.release({3, 3});
    EXPECT_TRUE(state.annotations().empty());
    EXPECT_TRUE(state.gesture().penPoints.empty());
}
