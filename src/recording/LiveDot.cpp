#include "recording/LiveDot.h"

#include "recording/RecordingStyle.h"
#include "ui/Theme.h"

#include <cmath>
#include <QPainter>
#include <QRadialGradient>

namespace velloq::recording {

LiveDot::LiveDot(double size, QWidget* parent) : QWidget(parent), size_(size) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const int side = static_cast<int>(std::ceil(size_ + 2 * glow));
    setFixedSize(side, side);
    // 0.7 s each way, eased in and out: one pulse every 1.4 s.
    pulse_.setDuration(1400);
    pulse_.setLoopCount(-1);
    pulse_.setKeyValueAt(0, 1.0);
    pulse_.setKeyValueAt(0.5, 0.35);
    pulse_.setKeyValueAt(1, 1.0);
    pulse_.setEasingCurve(QEasingCurve::Linear);
    connect(&pulse_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        // Each half eased in and out.
        const double t = value.toDouble();
        const double eased = 0.35 + 0.65 * (0.5 - 0.5 * std::cos(M_PI * (t - 0.35) / 0.65));
        opacity_ = eased;
        update();
    });
    pulse_.start();
}

void LiveDot::setLive(bool live) {
    live_ = live;
    if (live_) {
        pulse_.start();
    } else {
        pulse_.stop();
        opacity_ = 1;
    }
    update();
}

void LiveDot::setOpacityForTest(double opacity) {
    pulse_.stop();
    opacity_ = opacity;
    update();
}

void LiveDot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(live_ ? opacity_ : 1);
    const QColor colour = live_ ? Theme::coralDeep() : Theme::amber();
    const QPointF centre = QRectF(rect()).center();
    QRadialGradient halo(centre, size_ / 2 + glow);
    halo.setColorAt(size_ / 2 / (size_ / 2 + glow), withOpacity(colour, 0.7));
    halo.setColorAt(1, withOpacity(colour, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(halo);
    painter.drawEllipse(centre, size_ / 2 + glow, size_ / 2 + glow);
    painter.setBrush(colour);
    painter.drawEllipse(centre, size_ / 2, size_ / 2);
}

} // namespace velloq::recording
