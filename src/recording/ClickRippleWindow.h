#pragma once

// One click ripple on screen: a small borderless window above everything,
// which every pointer event passes through to whatever lies under it. With a
// compositor it is translucent and fades; without one it is shaped to the
// outline ring, drawn opaque, so it never hides more than the ring itself.

#include "platform/Clock.h"

#include <QColor>
#include <QPoint>
#include <QWidget>

namespace velloq::recording {

class ClickRippleWindow final : public QWidget {
public:
    // `centre` in the toolkit's desktop coordinates, where the pointer is read.
    ClickRippleWindow(QPoint centre, QColor colour, bool composited, platform::Clock& clock);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double age() const; // seconds since it appeared
    void advance();     // next animation frame

    QColor colour_;
    bool composited_;
    platform::Clock& clock_;
    platform::Clock::TimePoint born_;
    platform::ScopedTimer frames_;
};

} // namespace velloq::recording
