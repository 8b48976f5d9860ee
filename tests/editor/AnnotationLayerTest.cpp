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

    void addStroke(double y) { state.addAnnotation(kind::Pen{{{10, y}, {190, y + 5}}}); }

    EditorState state;
    AnnotationLayer layer;
};

} // namespace

TEST_F(AnnotationLayerTest, AppendedAnnotationsAreDrawnAloneOnTop) {
    addStroke(20);
    addStroke(40);
    layer.update(state.annotations(), {200, 100}, 1);
    EXPECT_EQ(layer.lastDrawn(), 2u);
    layer.update(state.annotations(), {200, 100}, 1);
    EXPECT_EQ(layer.lastDrawn(), 0u) << "nothing changed, nothing drawn";
    addStroke(60);
    const QImage& image = layer.update(state.annotations(), {200, 100}, 1);
    EXPECT_EQ(layer.lastDrawn(), 1u);
    EXPECT_EQ(image, drawnDirectly(state.annotations(), {200, 100}));
}

TEST_F(AnnotationLayerTest, UndoEraseAndRedoRedrawEverything) {
    for (double y : {10.0, 30.0, 50.0, 70.0}) {
        addStroke(y);
    }
    layer.update(state.annotations(), {200, 100}, 1);
    state.undo();
    EXPECT_EQ(layer.update(state.annotations(), {200, 100}, 1),
              drawnDirectly(state.annotations(), {200, 100}));
    EXPECT_EQ(layer.lastDrawn(), 3u);
    state.eraseAt({10, 30});
    EXPECT_EQ(layer.update(state.annotations(), {200, 100}, 1),
              drawnDirectly(state.annotations(), {200, 100}));
    state.undo();
    state.redo();
    state.redo(); // nothing to redo: the same list
    EXPECT_EQ(layer.update(state.annotations(), {200, 100}, 1),
              drawnDirectly(state.annotations(), {200, 100}));
}

TEST_F(AnnotationLayerTest, AnErasureFollowedByAnAdditionIsNotMistakenForAnAppend) {
    addStroke(10);
    addStroke(30);
    layer.update(state.annotations(), {200, 100}, 1);
    state.eraseAt({10, 10});
    addStroke(50);
    addStroke(70);
    EXPECT_EQ(layer.update(state.annotations(), {200, 100}, 1),
              drawnDirectly(state.annotations(), {200, 100}));
}

TEST_F(AnnotationLayerTest, ANewSizeOrDensityRedrawsAtThatSize) {
    addStroke(20);
    layer.update(state.annotations(), {200, 100}, 1);
    const QImage& wide = layer.update(state.annotations(), {300, 100}, 1);
    EXPECT_EQ(wide.size(), QSize(300, 100));
    EXPECT_EQ(layer.lastDrawn(), 1u);
    const QImage& dense = layer.update(state.annotations(), {300, 100}, 2);
    EXPECT_EQ(dense.size(), QSize(600, 200));
    EXPECT_EQ(dense.devicePixelRatio(), 2);
    EXPECT_EQ(layer.lastDrawn(), 1u);
}
