#include "recording/CountInRing.h"

#include "recording/RecordingStyle.h"
#include "ui/Theme.h"

#include <algorithm>
#include <cmath>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

namespace velloq::recording {

CountInRing::CountInRing(bool translucent, QWidget* parent)
    : QWidget(parent), translucent_(translucent) {
    setFixedSize(size, size);
    change_.setDuration(250);
    change_.setEasingCurve(QEasingCurve::OutCubic);
    connect(&change_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        shown_ = value.toDouble();
        update();
    });
}

double CountInRing::ringFraction(double n) {
    return std::clamp(n / from, 0.0, 1.0);
}

void CountInRing::setNumber(int n) {
    if (n == n_) {
        return;
    }
    n_ = n;
    change_.stop();
    change_.setStartValue(shown_);
    change_.setEndValue(static_cast<double>(n));
    change_.start();
    update();
}

void CountInRing::finishAnimationForTest() {
    change_.stop();
    shown_ = n_;
    update();
}

void CountInRing::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF disc(0, 0, size, size);
    painter.setPen(Qt::NoPen);
    const QColor window = QGuiApplication::palette().color(QPalette::Window);
    painter.setBrush(translucent_ ? withOpacity(window, 0.85) : window);
    painter.drawEllipse(disc);
    if (RecordingStyle::dark()) {
        painter.setBrush(withOpacity(Theme::ink(), 0.82));
        painter.drawEllipse(disc);
    }
    const QRectF ring = disc.adjusted(6, 6, -6, -6).adjusted(2, 2, -2, -2); // inside the line
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(RecordingStyle::primaryAt(0.14), 4));
    painter.drawEllipse(ring);
    painter.setPen(QPen(Theme::coral(), 4, Qt::SolidLine, Qt::RoundCap));
    // From the top, clockwise; Qt's angles are sixteenths of a degree, counter-clockwise.
    painter.drawArc(ring, 90 * 16, -static_cast<int>(std::lround(ringFraction(shown_) * 360 * 16)));
    // The new number grows in from slightly smaller as the ring settles.
    const double settle = 1 - std::min(1.0, std::abs(shown_ - n_));
    painter.save();
    painter.translate(disc.center());
    painter.scale(0.8 + 0.2 * settle, 0.8 + 0.2 * settle);
    painter.setOpacity(0.4 + 0.6 * settle);
    painter.setPen(RecordingStyle::primary());
    painter.setFont(RecordingStyle::font(34, QFont::DemiBold));
    painter.drawText(QRectF(-size / 2.0, -size / 2.0, size, size), Qt::AlignCenter,
                     QString::number(n_));
    painter.restore();
}

} // namespace velloq::recording
