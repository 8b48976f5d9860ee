#include "editor/EditorStyle.h"

#include "ui/Theme.h"

#include <QPalette>
#include <QWidget>

namespace velloq::editor {

QColor EditorStyle::primary(const QWidget& widget) {
    return widget.palette().color(QPalette::Active, QPalette::WindowText);
}

QColor EditorStyle::primary(const QWidget& widget, double opacity) {
    QColor colour = primary(widget);
    colour.setAlphaF(static_cast<float>(opacity));
    return colour;
}

bool EditorStyle::dark(const QWidget& widget) {
    // Qt of this generation has no colour-scheme query; a dark window background
    // is what a dark scheme means in every style.
    return widget.palette().color(QPalette::Active, QPalette::Window).lightnessF() < 0.5f;
}

QColor EditorStyle::canvasBackground(const QWidget& widget) {
    return dark(widget) ? Theme::black() : Theme::mist();
}

} // namespace velloq::editor
