#include "app/settings/Spinner.h"

#include "platform/Platform.h"

#include <QPainter>

namespace velloq {
namespace {

constexpr int spokes = 8;

} // namespace

Spinner::Spinner(int size, QWidget* parent) : QWidget(parent) {
    setFixedSize(size, size);
}

void Spinner::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    auto& clock = platform::clock();
    timer_ = platform::ScopedTimer(clock, clock.scheduleRepeating(tick, [this] {
        step_ = (step_ + 1) % spokes;
        update();
    }));
}

void Spinner::hideEvent(QHideEvent* event) {
    timer_.cancel();
    QWidget::hideEvent(event);
}

void Spinner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    const double radius = std::min(width(), height()) / 2.0;
    QColor colour = palette().color(QPalette::WindowText);
    for (int i = 0; i < spokes; ++i) {
        // The spoke at the current step is the brightest; the ones behind it fade.
        const int age = (step_ - i + spokes) % spokes;
        colour.setAlphaF(1.0 - age * 0.11);
        painter.setPen(QPen(colour, radius * 0.24, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -radius * 0.45), QPointF(0, -radius * 0.88));
        painter.rotate(360.0 / spokes);
    }
}

} // namespace velloq
