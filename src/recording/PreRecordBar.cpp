#include "recording/PreRecordBar.h"

#include "recording/CursorClicksPopover.h"
#include "recording/LevelMeter.h"
#include "recording/RecordingGlyphs.h"
#include "recording/RecordingStyle.h"
#include "ui/BrandMark.h"
#include "ui/Theme.h"

#include <QFontMetricsF>
#include <QMenu>
#include <QPainter>

namespace velloq::recording {
namespace {

using Field = RecordingUIModel::Field;
constexpr double maxDeviceLabel = 168;
constexpr double groupPadding = 8;
constexpr double groupSpacing = 9;
constexpr int meterBars = 7;

QFont labelFont() {
    return RecordingStyle::font(12.5, QFont::Medium);
}

} // namespace

PreRecordBar::PreRecordBar(RecordingUIModel& model, platform::DefaultsStore& settings,
                           PreRecordActions actions, bool translucent)
    : BarView(translucent, 8, 6), model_(model), settings_(settings), actions_(std::move(actions)),
      meter_(new LevelMeter(meterBars, this)) {
    meter_->hide();
    meter_->setLevel(model_.micLevel());
    watch_ = model_.observe([this](Field field) {
        if (field == Field::micLevel) {
            meter_->setLevel(model_.micLevel());
        } else if (field == Field::mode || field == Field::micOn || field == Field::devices ||
                   field == Field::selectedDevice) {
            relayout();
        }
    });
    relayout();
}

PreRecordBar::~PreRecordBar() {
    if (popover_) {
        popover_->onHidden = nullptr;
        popover_->hide();
        popover_->deleteLater();
    }
    if (menu_) {
        menu_->deleteLater();
    }
}

QString PreRecordBar::deviceLabel() const {
    if (model_.devices().empty()) {
        return "Default";
    }
    if (!model_.micOn()) {
        return "Microphone off";
    }
    return QString::fromStdString(model_.selectedDeviceName());
}

std::vector<BarPiece> PreRecordBar::row() {
    std::vector<BarPiece> pieces{brand(), divider(3)};
    for (auto mode : {RecordingMode::region, RecordingMode::window, RecordingMode::full}) {
        pieces.push_back(modeTile(mode));
    }
    pieces.push_back(divider(3));
    pieces.push_back(microphoneGroup());
    pieces.push_back(divider(3));
    pieces.push_back(cursorButton());
    pieces.push_back(divider(3));
    pieces.push_back({QSizeF(34, 34),
                      [](QPainter& p, const QRectF& box) {
                          paintIconButton(p, box, "xmark", RecordingStyle::primary(), false);
                      },
                      [this] {
                          if (actions_.onCancel) {
                              actions_.onCancel();
                          }
                      },
                      "Cancel"});
    const QFont startFont = RecordingStyle::font(13, QFont::DemiBold);
    const QString start = "Start recording";
    pieces.push_back({QSizeF(15 + RecordingStyle::textWidth(start, startFont) + 15, 36),
                      [=](QPainter& p, const QRectF& box) {
                          paintCoralButton(p, box, 9, nullptr, 0, 0, start, startFont);
                      },
                      [this] {
                          if (actions_.onStart) {
                              actions_.onStart();
                          }
                      },
                      start});
    return pieces;
}

BarPiece PreRecordBar::brand() const {
    const QFont font = RecordingStyle::font(13.5, QFont::DemiBold);
    const QString name = "Velloq";
    const double textWidth = RecordingStyle::textWidth(name, font);
    return {QSizeF(24 + 7 + textWidth, 24), [=](QPainter& p, const QRectF& box) {
                const QRectF badge(box.left(), box.top(), 24, 24);
                p.fillPath(roundedRect(badge, 7), Theme::coral());
                BrandMark::draw(p, badge.adjusted(5, 5, -5, -5), Qt::white, 1.9);
                p.setPen(RecordingStyle::primary());
                p.setFont(font);
                p.drawText(QRectF(badge.right() + 7, box.top(), textWidth + 1, 24),
                           Qt::AlignVCenter, name);
            }};
}

BarPiece PreRecordBar::modeTile(RecordingMode mode) {
    const bool selected = model_.mode() == mode;
    const QFont font = RecordingStyle::font(12.5, selected ? QFont::DemiBold : QFont::Medium);
    const QString label = modeLabel(mode);
    const double textWidth = RecordingStyle::textWidth(label, font);
    return {QSizeF(12 + 16 + 7 + textWidth + 12, 34),
            [=](QPainter& p, const QRectF& box) {
                const QColor ink = selected ? QColor(Qt::white) : RecordingStyle::primary();
                if (selected) {
                    p.fillPath(roundedRect(box, 9), Theme::coral());
                }
                drawRecordingGlyph(p, modeSymbol(mode),
                                   QRectF(box.left() + 12, box.center().y() - 8, 16, 16), ink);
                p.setPen(ink);
                p.setFont(font);
                p.drawText(QRectF(box.left() + 12 + 16 + 7, box.top(), textWidth + 1, box.height()),
                           Qt::AlignVCenter, label);
            },
            [this, mode] { model_.setMode(mode); }, label};
}

BarPiece PreRecordBar::microphoneGroup() {
    const bool on = model_.micOn();
    const bool chevron = deviceChevron();
    const QFont font = labelFont();
    const QString label = deviceLabel();
    const double labelWidth = std::min(maxDeviceLabel, RecordingStyle::textWidth(label, font) + 1);
    const double menuWidth = labelWidth + (chevron ? 5 + 10 : 0);
    double width = groupPadding + 32 + groupSpacing + menuWidth + groupPadding;
    if (on) {
        width += groupSpacing + LevelMeter::width(meterBars);
    }
    BarPiece group{
        QSizeF(width, 38), [=](QPainter& p, const QRectF& box) {
            if (on) {
                p.fillPath(roundedRect(box, 10), RecordingStyle::primaryAt(0.04));
            }
            const QRectF button(box.left() + groupPadding, box.center().y() - 16, 32, 32);
            p.fillPath(roundedRect(button, 8),
                       on ? withOpacity(Theme::coral(), 0.16) : RecordingStyle::primaryAt(0.04));
            drawRecordingGlyph(p, on ? "mic.fill" : "mic.slash.fill",
                               QRectF(button.center() - QPointF(8, 8), QSizeF(16, 16)),
                               on ? Theme::coral() : RecordingStyle::secondary());
            const double x = button.right() + groupSpacing;
            p.setPen(RecordingStyle::primary());
            p.setFont(font);
            const QString shown = QFontMetricsF(font).elidedText(label, Qt::ElideRight, labelWidth);
            p.drawText(QRectF(x, box.top(), labelWidth, box.height()), Qt::AlignVCenter, shown);
            if (chevron) {
                drawRecordingGlyph(p, "chevron.down",
                                   QRectF(x + labelWidth + 5, box.center().y() - 5, 10, 10),
                                   RecordingStyle::secondary(), 2.6);
            }
        }};
    group.parts.push_back(BarPiece::part(
        QRectF(groupPadding, 3, 32, 32), [this] { model_.setMicOn(!model_.micOn()); },
        on ? "Mute microphone" : "Unmute microphone"));
    const QRectF menuRect(groupPadding + 32 + groupSpacing, 0, menuWidth, 38);
    group.parts.push_back(BarPiece::part(menuRect, [this] { openDeviceMenu(); }, {}));
    if (on) {
        const double x = menuRect.right() + groupSpacing;
        group.parts.push_back(
            BarPiece::part(QRectF(x, 10, LevelMeter::width(meterBars), 18), {}, {}, meter_));
    }
    return group;
}

void PreRecordBar::openDeviceMenu() {
    if (model_.devices().empty()) {
        return;
    }
    if (menu_) {
        menu_->deleteLater();
    }
    menu_ = new QMenu(this);
    const auto& devices = model_.devices();
    for (std::size_t i = 0; i < devices.size(); ++i) {
        QAction* entry = menu_->addAction(QString::fromStdString(devices[i]));
        entry->setCheckable(true);
        entry->setChecked(static_cast<int>(i) == model_.selectedDevice());
        connect(entry, &QAction::triggered, this,
                [this, i] { model_.setSelectedDevice(static_cast<int>(i)); });
    }
    // Opens upwards from the label when the bar sits at the bottom of the screen.
    QPoint at = mapToGlobal(QPoint(0, height()));
    for (const auto& piece : pieces()) {
        if (piece.parts.size() >= 2) { // the microphone group: button, menu, meter
            at = mapToGlobal(piece.parts[1].rect.bottomLeft().toPoint());
        }
    }
    menu_->popup(at);
}

BarPiece PreRecordBar::cursorButton() {
    const bool open = cursorOpen_;
    return {QSizeF(9 + 16 + 4 + 11 + 9, 34),
            [open](QPainter& p, const QRectF& box) {
                p.fillPath(roundedRect(box, 9), RecordingStyle::primaryAt(0.04));
                drawRecordingGlyph(p, "cursorarrow",
                                   QRectF(box.left() + 9, box.center().y() - 8, 16, 16),
                                   RecordingStyle::primary());
                drawRecordingGlyph(p, open ? "chevron.up" : "chevron.down",
                                   QRectF(box.left() + 9 + 16 + 4, box.center().y() - 5.5, 11, 11),
                                   RecordingStyle::secondary(), 2.6);
            },
            [this] { setCursorOpen(!cursorOpen_); }, "Cursor & clicks"};
}

void PreRecordBar::setCursorOpen(bool open) {
    cursorOpen_ = open;
    if (open) {
        if (!popover_) {
            popover_ = new CursorClicksPopover(settings_, translucent());
            popover_->onHidden = [this] {
                if (cursorOpen_) {
                    cursorOpen_ = false;
                    relayout();
                }
            };
        }
        for (const auto& piece : pieces()) {
            if (piece.tooltip == "Cursor & clicks") {
                const QPoint anchor = mapToGlobal(QPointF(piece.rect.center().x(), 0).toPoint());
                popover_->move(anchor.x() - popover_->width() / 2,
                               anchor.y() - popover_->height() - 8);
            }
        }
        popover_->show();
    } else if (popover_) {
        popover_->hide();
    }
    relayout();
}

} // namespace velloq::recording
