#include "app/settings/SegmentedPicker.h"

#include "ui/Theme.h"

#include <algorithm>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace velloq {
namespace {

constexpr int segmentPadding = 14;
constexpr int controlHeight = 24;

} // namespace

SegmentedPicker::SegmentedPicker(const QString& label, QStringList options, QWidget* parent)
    : QWidget(parent), control_(new SegmentedControl(std::move(options), this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(label, this));
    layout->addStretch(1);
    layout->addWidget(control_);
    control_->onSelect = [this](int index) {
        if (onSelect) {
            onSelect(index);
        }
    };
}

int SegmentedPicker::selected() const {
    return control_->selected();
}

void SegmentedPicker::setSelected(int index) {
    control_->setSelected(index);
}

const QStringList& SegmentedPicker::options() const {
    return control_->options();
}

SegmentedControl::SegmentedControl(QStringList options, QWidget* parent)
    : QWidget(parent), options_(std::move(options)) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(sizeHint());
}

void SegmentedControl::setSelected(int index) {
    selected_ = index >= 0 && index < options_.size() ? index : -1;
    update();
}

QSize SegmentedControl::sizeHint() const {
    // Every segment as wide as the widest label, as segmented controls are.
    int widest = 0;
    for (const auto& option : options_) {
        widest = std::max(widest, fontMetrics().horizontalAdvance(option));
    }
    return {static_cast<int>(options_.size()) * (widest + 2 * segmentPadding) + 4, controlHeight};
}

QRectF SegmentedControl::segment(int index) const {
    const double each = (width() - 4.0) / std::max<qsizetype>(options_.size(), 1);
    return {2 + index * each, 2, each, height() - 4.0};
}

int SegmentedControl::optionAt(QPoint point) const {
    for (int i = 0; i < options_.size(); ++i) {
        if (segment(i).contains(point)) {
            return i;
        }
    }
    return -1;
}

void SegmentedControl::choose(int index) {
    if (index < 0 || index >= options_.size()) {
        return;
    }
    setSelected(index);
    if (onSelect) {
        onSelect(index);
    }
}

void SegmentedControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        choose(optionAt(event->position().toPoint()));
    }
}

void SegmentedControl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        const int step = event->key() == Qt::Key_Left ? -1 : 1;
        choose(std::clamp(selected_ < 0 ? 0 : selected_ + step, 0,
                          static_cast<int>(options_.size()) - 1));
        return;
    }
    QWidget::keyPressEvent(event);
}

void SegmentedControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor trough = palette().color(QPalette::Mid);
    trough.setAlphaF(0.35);
    painter.setPen(hasFocus() ? QPen(palette().color(QPalette::Highlight), 1) : Qt::NoPen);
    painter.setBrush(trough);
    painter.drawRoundedRect(frame, 6, 6);
    for (int i = 0; i < options_.size(); ++i) {
        const QRectF box = segment(i);
        const bool chosen = i == selected_;
        if (chosen) {
            painter.setPen(QPen(QColor(0, 0, 0, 30), 0.5));
            painter.setBrush(Theme::coral());
            painter.drawRoundedRect(box, 5, 5);
        } else if (i > 0 && i - 1 != selected_) {
            painter.setPen(QPen(palette().color(QPalette::Mid), 1));
            painter.drawLine(QPointF(box.left(), box.top() + 5),
                             QPointF(box.left(), box.bottom() - 5));
        }
        painter.setPen(chosen ? QColor(Qt::white) : palette().color(QPalette::WindowText));
        painter.drawText(box, Qt::AlignCenter, options_[i]);
    }
}

} // namespace velloq
