// Renders the editor with one annotation of each kind to a PNG, for looking at
// by eye:  QT_QPA_PLATFORM=offscreen velloq_editor_preview OUT.png [dark]

#include "app/ProductRoutes.h"
#include "editor/AnnotationEditorView.h"
#include "editor/EditorState.h"
#include "fakes/FakePlatform.h"

#include <cstdio>
#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QStyleHints>

using namespace velloq;
using namespace velloq::editor;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: velloq_editor_preview OUT.png\n");
        return 2;
    }
    QApplication app(argc, argv);
    testing::FakePlatform platform;

    QImage shot(QSize(2880, 1800), QImage::Format_RGB32);
    {
        QPainter painter(&shot);
        QLinearGradient sky(0, 0, 2880, 1800);
        sky.setColorAt(0, QColor(52, 120, 246));
        sky.setColorAt(1, QColor(150, 90, 230));
        painter.fillRect(shot.rect(), sky);
        painter.fillRect(QRect(300, 300, 1400, 900), QColor(250, 250, 250));
    }
    shot.setDevicePixelRatio(2);

    AnnotationEditorView view(shot, shot.size(), QStringLiteral("Screenshot.png"),
                              velloq::productRoutes());
    view.resize(1200, 820);
    view.show();
    QApplication::processEvents();

    EditorState& state = view.state();
    auto add = [&](int colour, Kind kind) {
        state.selectColor(colour);
        state.addAnnotation(std::move(kind));
    };
    add(0, kind::Pen{{{200, 200}, {240, 230}, {290, 210}, {340, 260}}});
    add(2, kind::Highlighter{{{200, 320}, {480, 320}}});
    add(1, kind::Arrow{{600, 450}, {420, 300}});
    add(3, kind::Rect{QRectF(650, 180, 220, 140)});
    state.selectColor(4);
    state.selectTool(AnnotationTool::text);
    state.openTextField({780, 430});
    state.setEditingText(QStringLiteral("Look here"));
    state.commitText();
    add(0, kind::Number{1, {300, 480}});
    add(5, kind::Number{2, {360, 480}});
    QApplication::processEvents();
    return view.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
