#include "recording/ClickPreview.h"

#include "recording/RecordingStyle.h"
#include "ui/Theme.h"

#include <QPainter>

namespace velloq::recording {

ClickPreview::ClickPreview(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedSize(side, side);
    loop_.setStartValue(0.0);
    loop_.setEndValue(1.0);
    loop_.setDuration(1100);
    loop_.setEasingCurve(QEasingCurve::OutCubic);
    loop_.setLoopCount(-1);
    connect(&loop_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        progress_ = value.toDouble();
        update();
    });
    loop_.start();
}

void ClickPreview::setProgressForTest(double progress) {
    loop_.stop();
    progress_ = progress;
    update();
}

void ClickPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(side / 2.0, side / 2.0);
    const double full = side / 2.0 - 2;
    const double p = progress_;
    const QColor coral = Theme::coral();
    painter.setPen(Qt::NoPen);
    painter.setBrush(withOpacity(coral, 0.4 * (1 - p)));
    const double disc = full * (0.15 + 0.85 * p);
    painter.drawEllipse(centre, disc, disc);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(withOpacity(coral, 0.95 * (1 - p)), 2.5));
    const double ring = full * (0.3 + 0.7 * p);
    painter.drawEllipse(centre, ring, ring);
    painter.setPen(Qt::NoPen);
    painter.setBrush(coral);
    painter.drawEllipse(centre, 3.5, 3.5);
}

} // namespace velloq::recording
