#pragma once

// Colours of the editor's chrome beyond the palette. Label colours follow the
// desktop's appearance: dark on a light window, light on a dark one.

#include <QColor>

class QWidget;

namespace velloq::editor {

struct EditorStyle {
    static QColor primary(const QWidget& widget);
    static QColor primary(const QWidget& widget, double opacity);
    // Whether the widget is shown in a dark colour scheme.
    static bool dark(const QWidget& widget);
    // The canvas backdrop: mist in light appearance, black in dark.
    static QColor canvasBackground(const QWidget& widget);
};

} // namespace velloq::editor
