#include "recording/ClickRippleWindow.h"

#include "recording/RippleAnimation.h"

#include <QPainter>
#include <QRegion>

namespace velloq::recording {
namespace {

constexpr std::chrono::milliseconds frameInterval{16};

QRectF circle(double diameter) {
    const double centre = RippleStyle::windowSize / 2;
    return {centre - diameter / 2, centre - diameter / 2, diameter, diameter};
}

// The outline as a region: what is left of the window without a compositor.
QRegion ring(double diameter) {
    const auto ellipse = [](double d) {
        return QRegion(circle(std::max(d, 0.0)).toAlignedRect(), QRegion::Ellipse);
    };
    return ellipse(diameter + RippleStyle::lineWidth)
        .subtracted(ellipse(diameter - RippleStyle::lineWidth));
}

} // namespace

ClickRippleWindow::ClickRippleWindow(QPoint centre, QColor colour, bool composited,
                                     platform::Clock& clock)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::WindowTransparentForInput | Qt::NoDropShadowWindowHint),
      colour_(colour), composited_(composited), clock_(clock), born_(clock.now()) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (composited_) {
        setAttribute(Qt::WA_TranslucentBackground);
    } else {
        setAttribute(Qt::WA_NoSystemBackground);
        setMask(ring(RippleStyle::fullDiameter() * rippleAt(0).outlineScale));
    }
    const int size = static_cast<int>(RippleStyle::windowSize);
    setGeometry(centre.x() - size / 2, centre.y() - size / 2, size, size);
    frames_ = platform::ScopedTimer(clock_,
                                    clock_.scheduleRepeating(frameInterval, [this] { advance(); }));
}

double ClickRippleWindow::age() const {
    return std::chrono::duration<double>(clock_.now() - born_).count();
}

void ClickRippleWindow::advance() {
    if (age() >= RippleStyle::growSeconds) {
        frames_.cancel(); // the end state holds until the window goes
    }
    if (!composited_) {
        setMask(ring(RippleStyle::fullDiameter() * rippleAt(age()).outlineScale));
    }
    update();
}

void ClickRippleWindow::paintEvent(QPaintEvent*) {
    const RippleLayers layers = rippleAt(age());
    const double diameter = RippleStyle::fullDiameter();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!composited_) {
        // Opaque: the shape alone makes the ring.
        painter.fillRect(rect(), colour_);
        return;
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour_);
    painter.setOpacity(layers.fillOpacity);
    painter.drawEllipse(circle(diameter * layers.fillScale));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour_, RippleStyle::lineWidth));
    painter.setOpacity(layers.outlineOpacity);
    painter.drawEllipse(circle(diameter * layers.outlineScale));
}

} // namespace velloq::recording
