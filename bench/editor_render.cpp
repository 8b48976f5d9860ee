// How long the editor takes to flatten a large annotated screenshot, and to
// repaint its canvas once with many annotations (the goal: at most 8 ms, so
// drawing stays smooth at 120 Hz).

#include "app/ProductRoutes.h"
#include "editor/AnnotationEditorView.h"
#include "editor/AnnotationPainter.h"
#include "editor/EditorCanvas.h"
#include "editor/ExportRenderer.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <QApplication>
#include <QPainter>

using namespace velloq::editor;

namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "editor_render";
    static char* argv[] = {name, nullptr};
    static auto* instance = new QApplication(argc, argv);
    return *instance;
}

// A 5120 x 2880 screenshot of a double-density display: 2560 x 1440 points.
QImage screenshot() {
    QImage image(5120, 2880, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int band = 0; band < 2880; band += 64) {
        painter.fillRect(0, band, 5120, 64, QColor::fromHsv((band / 8) % 360, 60, 230));
    }
    painter.end();
    image.setDevicePixelRatio(2);
    return image;
}

// 500 annotations cycling through every kind, spread over a canvas of `area`.
AnnotationList mixedAnnotations(QSizeF area) {
    AnnotationList list;
    for (int i = 0; i < 500; ++i) {
        const double x = std::fmod(i * 37.0, area.width() - 120) + 20;
        const double y = std::fmod(i * 53.0, area.height() - 120) + 20;
        std::vector<QPointF> stroke;
        for (int p = 0; p < 40; ++p) {
            stroke.emplace_back(x + p * 2.5, y + 12 * std::sin(p / 4.0));
        }
        Kind kind;
        switch (i % 6) {
        case 0:
            kind = kind::Pen{stroke};
            break;
        case 1:
            kind = kind::Highlighter{stroke};
            break;
        case 2:
            kind = kind::Arrow{{x, y}, {x + 90, y + 60}};
            break;
        case 3:
            kind = kind::Rect{QRectF(x, y, 100, 70)};
            break;
        case 4:
            kind = kind::Text{QStringLiteral("Label %1").arg(i), {x, y}};
            break;
        default:
            kind = kind::Number{i, {x, y}};
            break;
        }
        list.push_back(Annotation::make(std::move(kind), QColor(255, 77, 65), 4));
    }
    return list;
}

const QSizeF canvasArea(1368, 790); // the canvas of a 1400 x 900 editor window

void BM_ComposeExport(benchmark::State& state) {
    app();
    const Screenshot shot = Screenshot::fromImage(screenshot());
    const AnnotationList annotations = mixedAnnotations(canvasArea);
    for (auto _ : state) {
        auto bitmap = composeExport(shot, canvasArea, annotations);
        benchmark::DoNotOptimize(bitmap);
    }
}
BENCHMARK(BM_ComposeExport)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_RenderExportWithPng(benchmark::State& state) {
    app();
    const Screenshot shot = Screenshot::fromImage(screenshot());
    const AnnotationList annotations = mixedAnnotations(canvasArea);
    const auto encode = velloq::productRoutes().encodePng;
    for (auto _ : state) {
        auto rendered = renderExport(shot, canvasArea, annotations, encode);
        benchmark::DoNotOptimize(rendered);
    }
}
BENCHMARK(BM_RenderExportWithPng)->Unit(benchmark::kMillisecond)->MinTime(5);

// The editor on a 1400 x 900 window holding 500 annotations, painted once so
// the scaled screenshot is prepared as it is after the first frame.
struct BusyEditor {
    explicit BusyEditor(int ratio)
        : view(screenshot(), QSize(5120, 2880), QStringLiteral("bench.png"),
               velloq::ImageRoutes{}) {
        view.resize(1400, 900);
        view.show();
        QApplication::processEvents();
        for (Annotation& annotation : mixedAnnotations(QSizeF(view.canvas().size()))) {
            view.state().addAnnotation(annotation.kind);
        }
        frame = QImage(view.canvas().size() * ratio, QImage::Format_ARGB32_Premultiplied);
        frame.setDevicePixelRatio(ratio);
        paint();
    }
    void paint() {
        frame.fill(Qt::transparent);
        QPainter painter(&frame);
        view.canvas().paintCanvas(painter);
    }
    AnnotationEditorView view;
    QImage frame;
};

// A frame while the user draws a pen stroke over 500 annotations: the 120 Hz case.
void BM_CanvasRepaintWhileDrawing(benchmark::State& state) {
    app();
    BusyEditor editor(static_cast<int>(state.range(0)));
    EditorState& editorState = editor.view.state();
    editorState.press({300, 300});
    int step = 0;
    for (auto _ : state) {
        editorState.move({300.0 + step % 400, 300.0 + 40 * std::sin(step / 10.0)});
        ++step;
        editor.paint();
        benchmark::DoNotOptimize(editor.frame.constBits());
    }
    editorState.release({300, 300});
}
BENCHMARK(BM_CanvasRepaintWhileDrawing)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A frame after an undo or redo: every one of the 500 annotations is drawn again.
void BM_CanvasRepaintAfterUndo(benchmark::State& state) {
    app();
    BusyEditor editor(static_cast<int>(state.range(0)));
    EditorState& editorState = editor.view.state();
    bool undo = true;
    for (auto _ : state) {
        if (undo) {
            editorState.undo();
        } else {
            editorState.redo();
        }
        undo = !undo;
        editor.paint();
        benchmark::DoNotOptimize(editor.frame.constBits());
    }
}
BENCHMARK(BM_CanvasRepaintAfterUndo)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The on-screen drawing of 500 annotations of one kind (by index of Kind), to
// see where a repaint's time goes.
void BM_DrawOneKind(benchmark::State& state) {
    app();
    AnnotationList annotations;
    for (Annotation& annotation : mixedAnnotations(canvasArea)) {
        if (annotation.kind.index() == static_cast<std::size_t>(state.range(0))) {
            for (int copy = 0; copy < 6; ++copy) {
                annotations.push_back(annotation);
            }
        }
    }
    QImage frame(canvasArea.toSize(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        frame.fill(Qt::transparent);
        QPainter painter(&frame);
        for (const Annotation& annotation : annotations) {
            drawAnnotation(annotation, painter);
        }
        painter.end();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_DrawOneKind)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
