#include "recording/LevelMeter.h"

#include "recording/RecordingStyle.h"
#include "ui/Theme.h"

#include <algorithm>
#include <cmath>
#include <QPainter>

namespace velloq::recording {
namespace {

constexpr double barWidth = 3;
constexpr double gap = 2.5;
constexpr double rowHeight = 18;

} // namespace

LevelMeter::LevelMeter(int count, QWidget* parent) : QWidget(parent), count_(std::max(1, count)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedSize(static_cast<int>(std::ceil(width(count_))), static_cast<int>(rowHeight));
    slide_.setDuration(100);
    slide_.setEasingCurve(QEasingCurve::Linear);
    connect(&slide_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        shown_ = value.toDouble();
        update();
    });
}

void LevelMeter::setLevel(double level) {
    level = std::isfinite(level) ? std::clamp(level, 0.0, 1.0) : 0.0;
    slide_.stop();
    if (!isVisible()) {
        shown_ = level;
        return;
    }
    slide_.setStartValue(shown_);
    slide_.setEndValue(level);
    slide_.start();
}

int LevelMeter::litBars(double level, int count) {
    return static_cast<int>(std::clamp(level, 0.0, 1.0) * count);
}

double LevelMeter::barHeight(int index, int count) {
    return count > 1 ? static_cast<double>(index) / (count - 1) * 11 + 6 : 17;
}

double LevelMeter::width(int count) {
    return count * barWidth + (count - 1) * gap;
}

void LevelMeter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int lit = litBars(shown_, count_);
    for (int i = 0; i < count_; ++i) {
        const double h = barHeight(i, count_);
        const QRectF bar(i * (barWidth + gap), rowHeight - h, barWidth, h);
        painter.fillPath(roundedRect(bar, 1.5),
                         i < lit ? Theme::coral() : RecordingStyle::primaryAt(0.18));
    }
}

} // namespace velloq::recording
