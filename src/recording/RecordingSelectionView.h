#pragma once

// One screen's selection window for a recording: borderless, above
// everything, covering the screen. Without a compositor a window cannot let
// the desktop show through, so it paints the screen as it was when the
// selection began, dimmed, with the selection undimmed.

#include "geometry/ScreenList.h"
#include "recording/RecordingSelection.h"

#include <functional>
#include <QImage>
#include <QWidget>

namespace velloq::recording {

class RecordingSelectionView final : public QWidget {
public:
    RecordingSelectionView(const geometry::Screen& screen, QImage picture,
                           SelectionGesture gesture);

    std::function<void(const geometry::Rect&)> onCommitRegion; // global points
    std::function<void(std::uint32_t)> onCommitWindow;
    std::function<void(std::uint32_t)> onCommitDisplay;
    std::function<void()> onCancel;

    [[nodiscard]] const geometry::Rect& screenFrame() const { return screen_.frame; }
    [[nodiscard]] const SelectionGesture& gesture() const { return gesture_; }
    // Takes the keyboard so Escape arrives however the window manager feels.
    void takeKeyboard();
    // Hovers what lies under the pointer at `global` before it first moves,
    // so a click without a move picks it too.
    void hoverAt(const geometry::Point& global);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    geometry::Point toView(const QPointF& local) const;
    QRectF toWidget(const geometry::Rect& view) const;
    void apply(const SelectionOutcome& outcome);
    void paintSizeLabel(QPainter& painter, const QRectF& hole);

    geometry::Screen screen_;
    QImage bright_;
    QImage dimmed_;
    SelectionGesture gesture_;
};

// "W × H" of a selection in whole points (truncated).
[[nodiscard]] QString selectionSizeText(const geometry::Rect& selection);

} // namespace velloq::recording
