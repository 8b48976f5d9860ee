#pragma once

// One screen's overlay: a borderless window covering the screen's frame that
// paints its part of the frozen snapshot dimmed, with the shared selection
// undimmed. It only converts events and paints; the gesture decides.

#include "capture/OverlaySelection.h"
#include "geometry/ScreenList.h"

#include <functional>
#include <memory>
#include <QImage>
#include <QWidget>

namespace velloq::capture {

class OverlayView final : public QWidget {
public:
    OverlayView(const Screen& screen, QImage screenPart, std::shared_ptr<OverlayGesture> gesture);

    // Readies a hidden view for the next capture. A window kept between
    // captures keeps its backing store, whose first fill would otherwise
    // dominate the time to the first painted overlay.
    void reuse(const Screen& screen, QImage screenPart, std::shared_ptr<OverlayGesture> gesture);
    // Drops the snapshot and the gesture while the view waits hidden.
    void park();

    std::function<void(const Rect&)> onCommit;
    std::function<void(const std::vector<Point>&)> onCommitFreeform;
    std::function<void()> onCancel;
    std::function<void()> redrawAll;

    [[nodiscard]] const Rect& screenFrame() const { return screen_.frame; }
    // Whether this screen draws the size label (set by the controller).
    void setDrawsSizeLabel(bool draws) { drawsSizeLabel_ = draws; }
    // Takes the keyboard so Escape arrives however the window manager feels.
    void takeKeyboard();
    // Fires once, the first time the view has painted (for measurements).
    std::function<void()> onFirstPaint;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The overlay looks the same with and without focus: no repaint for it.
    void focusInEvent(QFocusEvent*) override {}
    void focusOutEvent(QFocusEvent*) override {}

private:
    Point toGlobal(const QPointF& local) const;
    QRectF toLocal(const Rect& global) const;
    void apply(GestureOutcome outcome);
    void paintSizeLabel(QPainter& painter, const Rect& selection);

    Screen screen_;
    QImage bright_; // over the snapshot's own pixels, not a copy
    std::shared_ptr<OverlayGesture> gesture_;
    bool drawsSizeLabel_ = false;
    bool painted_ = false;
    // Set by the first paint of a showing, until the repaint that showing
    // queued arrives: that one would paint the same frame again.
    bool dropQueuedRepaint_ = false;
};

} // namespace velloq::capture
