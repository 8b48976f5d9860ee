#include "editor/AnnotationLayer.h"

#include "editor/AnnotationPainter.h"
#include "editor/EditorState.h"
#include "fakes/QtApp.h"
#include "PixelProbe.h"

#include <gtest/gtest.h>

using namespace velloq::editor;

namespace {

class AnnotationLayerTest : public ::testing::Test {
protected:
    void SetUp() override { velloq::testing::qtApp(); }

    // Every annotation drawn afresh: what the layer must always equal.
    static QImage drawnDirectly(const AnnotationList& annotations, QSize size) {
        return velloq::testing::renderTransparent(size, [&](QPainter& painter) {
            for (const Annotation& annotation : annotations) {
                drawAnnotation(annotation, painter);
            }
        });
    }

    void expectAFullRedraw(QSize size = {200, 100}) {
        EXPECT_EQ(layer.update(state.annotations(), size, 1),
                  drawnDirectly(state.annotations(), size));
    }

    void addStroke(double y) { state.addAnnotation(kind::Pen{{{10, y}, {190, y + 5}}}); }

    EditorState state;
    AnnotationLayer layer;
};

} // namespace

TEST_F(AnnotationLayerTest, AppendedAnnotationsAreDrawnAloneAndANewSizeOrDensityRedrawsAll) {
    addStroke(20);
    addStroke(40);
    layer.update(state.annotations(), {200, 100}, 1);
    EXPECT_EQ(layer.lastDrawn(), 2u);
    layer.update(state.annotations(), {200, 100}, 1);
    EXPECT_EQ(layer.lastDrawn(), 0u) << "nothing changed, nothing drawn";
    addStroke(60);
    expectAFullRedraw();
    EXPECT_EQ(layer.lastDrawn(), 1u);
    const QImage& wide = layer.update(state.annotations(), {300, 100}, 1);
    EXPECT_EQ(wide.size(), QSize(300, 100));
    EXPECT_EQ(layer.lastDrawn(), 3u);
    const QImage& dense = layer.update(state.annotations(), {300, 100}, 2);
    EXPECT_EQ(dense.size(), QSize(600, 200));
    EXPECT_EQ(dense.devicePixelRatio(), 2);
    EXPECT_EQ(layer.lastDrawn(), 3u);
}

TEST_F(AnnotationLayerTest, UndoEraseRedoAndAnErasureBeforeAnAdditionMatchAFullRedraw) {
    for (double y : {10.0, 30.0, 50.0, 70.0}) {
        addStroke(y);
    }
    layer.update(state.annotations(), {200, 100}, 1);
    state.undo();
    expectAFullRedraw();
    EXPECT_EQ(layer.lastDrawn(), 3u);
    state.eraseAt({10, 30});
    expectAFullRedraw();
    state.undo();
    state.redo();
    state.redo(); // nothing to redo: the same list
    expectAFullRedraw();
    // Longer than before but not an append: its first annotation changed.
    state.eraseAt({10, 10});
    addStroke(50);
    addStroke(70);
    expectAFullRedraw();
}

// A long history edited every way the editor can: after each step the layer
// must equal a full redraw, and an undo or redo near the newest annotations
// must not redraw the whole list.
TEST_F(AnnotationLayerTest, EditsUndoAndRedoOverALongHistoryMatchAFullRedraw) {
    const QSize size(200, 100);
    for (int i = 0; i < 60; ++i) {
        const double x = 10 + (i * 17) % 170;
        const double y = 10 + (i * 29) % 80;
        if (i % 3 == 0) {
            state.addAnnotation(kind::Highlighter{{{x, y}, {x + 20, y + 4}}});
        } else if (i % 3 == 1) {
            state.addAnnotation(kind::Number{i, {x, y}});
        } else {
            state.addAnnotation(kind::Text{QStringLiteral("t%1").arg(i), {x, y}});
        }
        layer.update(state.annotations(), size, 1);
    }
    // Undo, redo, add, erase: near the newest annotations a step redraws at
    // most twice the base's reach; after an erasure deep in the list, anything.
    const std::string steps = "uururraueur";
    bool deep = false;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        switch (steps[i]) {
        case 'u':
            state.undo();
            break;
        case 'r':
            state.redo();
            break;
        case 'a':
            addStroke(50);
            break;
        case 'e':
            state.eraseAt({78, 46}); // the badge numbered 4
            deep = true;
            break;
        }
        ASSERT_EQ(layer.update(state.annotations(), size, 1),
                  drawnDirectly(state.annotations(), size))
            << "step " << i;
        EXPECT_LE(layer.lastDrawn(), deep ? 60 : AnnotationLayer::reach * 2) << "step " << i;
    }
    for (int i = 0; i < 30; ++i) {
        state.undo(); // past the base's reach: a redraw from scratch, still exact
    }
    expectAFullRedraw(size);
}
