#include "recording/CursorClicksPopover.h"

#include "recording/ClickPreview.h"
#include "recording/RecordingGlyphs.h"
#include "recording/RecordingStyle.h"
#include "settings/Settings.h"
#include "ui/Theme.h"

#include <nlohmann/json.hpp>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

namespace velloq::recording {
namespace {

constexpr double padding = 14;
constexpr double headingHeight = 14;
constexpr double gap = 10;
constexpr double rowHeight = 30;
constexpr double previewHeight = 84;

} // namespace

CursorClicksPopover::CursorClicksPopover(platform::DefaultsStore& settings, bool translucent)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), settings_(settings),
      translucent_(translucent),
      rows_{{settings::recordShowCursorKey, "cursorarrow", "Show cursor", nullptr, {}},
            {settings::recordHighlightClicksKey,
             "cursorarrow.click",
             "Highlight clicks",
             "Coral ripple on each click",
             {}}},
      preview_(new ClickPreview(this)) {
    double y = padding + headingHeight + gap;
    for (auto& row : rows_) {
        row.rect = QRectF(padding, y, popoverWidth - 2 * padding, rowHeight);
        y += rowHeight + gap;
    }
    previewArea_ = QRectF(padding, y - gap + 6, popoverWidth - 2 * padding, previewHeight);
    const int height = static_cast<int>(previewArea_.bottom() + padding);
    setFixedSize(popoverWidth, height);
    preview_->move(
        (previewArea_.center() - QPointF(ClickPreview::side, ClickPreview::side) / 2).toPoint());
    if (translucent_) {
        setAttribute(Qt::WA_TranslucentBackground);
    } else {
        setMask(QRegion(roundedRect(QRectF(rect()), 12).toFillPolygon().toPolygon()));
    }
}

bool CursorClicksPopover::isOn(std::string_view key) const {
    return key == settings::recordShowCursorKey ? settings::recordShowCursor(settings_)
                                                : settings::recordHighlightClicks(settings_);
}

void CursorClicksPopover::toggle(std::string_view key) {
    // ignored on purpose: a store that cannot be written keeps the old value, which the switch
    // shows
    (void)settings_.set(key, nlohmann::json(!isOn(key)));
    update();
}

void CursorClicksPopover::paintRow(QPainter& p, const Row& row) const {
    const bool on = isOn(row.key);
    const QRectF square(row.rect.left(), row.rect.center().y() - 13, 26, 26);
    p.fillPath(roundedRect(square, 7),
               on ? withOpacity(Theme::coral(), 0.16) : RecordingStyle::primaryAt(0.05));
    drawRecordingGlyph(p, row.symbol, QRectF(square.center() - QPointF(7.5, 7.5), QSizeF(15, 15)),
                       on ? Theme::coral() : RecordingStyle::secondary());
    const double textX = square.right() + 10;
    const QRectF switchBox(row.rect.right() - 32, row.rect.center().y() - 9, 32, 18);
    p.setPen(RecordingStyle::primary());
    p.setFont(RecordingStyle::font(12.5, QFont::Medium));
    if (row.subtitle == nullptr) {
        p.drawText(QRectF(textX, row.rect.top(), switchBox.left() - textX, row.rect.height()),
                   Qt::AlignVCenter, row.title);
    } else {
        p.drawText(QRectF(textX, row.rect.top() - 1, switchBox.left() - textX, 16),
                   Qt::AlignVCenter, row.title);
        p.setPen(RecordingStyle::secondary());
        p.setFont(RecordingStyle::font(10.5, QFont::Normal));
        p.drawText(QRectF(textX, row.rect.top() + 15, switchBox.left() - textX, 14),
                   Qt::AlignVCenter, row.subtitle);
    }
    // A small switch tinted coral.
    p.fillPath(roundedRect(switchBox, 9), on ? Theme::coral() : RecordingStyle::primaryAt(0.16));
    const double knob = 14;
    const double knobX = on ? switchBox.right() - 2 - knob : switchBox.left() + 2;
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(knobX, switchBox.top() + 2, knob, knob));
}

void CursorClicksPopover::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintBarBackground(p, QRectF(rect()), 12, translucent_);
    QFont heading = RecordingStyle::font(10.5, QFont::DemiBold);
    heading.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
    p.setFont(heading);
    p.setPen(RecordingStyle::secondary());
    p.drawText(QRectF(padding, padding, popoverWidth - 2 * padding, headingHeight),
               Qt::AlignVCenter, "CURSOR & CLICKS");
    for (const auto& row : rows_) {
        paintRow(p, row);
    }
    p.fillPath(roundedRect(previewArea_, 10), RecordingStyle::primaryAt(0.04));
}

void CursorClicksPopover::mousePressEvent(QMouseEvent* event) {
    for (const auto& row : rows_) {
        if (row.rect.contains(event->position())) {
            toggle(row.key);
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

void CursorClicksPopover::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (onHidden) {
        onHidden();
    }
}

} // namespace velloq::recording
