#include "recording/RecordingBar.h"

#include "recording/LiveDot.h"
#include "recording/RecordingGlyphs.h"
#include "recording/RecordingStyle.h"
#include "ui/Theme.h"

#include <QPainter>

namespace velloq::recording {
namespace {

using Field = RecordingUIModel::Field;
constexpr double dotSize = 9;

} // namespace

RecordingBar::RecordingBar(RecordingUIModel& model, RecordingBarActions actions, bool translucent)
    : BarView(translucent, 8, 6), model_(model), actions_(std::move(actions)),
      dot_(new LiveDot(dotSize, this)) {
    dot_->hide();
    watch_ = model_.observe([this](Field field) {
        if (field == Field::elapsed) {
            // The layout changes only when the minutes grow a digit.
            if (reservedTimeWidth() != timeWidth_) {
                relayout();
            } else {
                update();
            }
        } else if (field == Field::phase || field == Field::collapsed) {
            relayout();
        }
    });
    relayout();
}

void RecordingBar::run(const std::function<void()>& action) {
    if (action) {
        action();
    }
}

BarPiece RecordingBar::timerBlock() {
    const bool paused = model_.phase() == RecordingPhase::paused;
    dot_->setLive(!paused);
    const QFont timeFont = RecordingStyle::font(15.5, QFont::DemiBold);
    const QFont pausedFont = RecordingStyle::font(11.5, QFont::DemiBold);
    timeWidth_ = reservedTimeWidth();
    const double timeWidth = timeWidth_;
    const double pausedWidth = RecordingStyle::textWidth("PAUSED", pausedFont) + 1;
    const double dotSide = dot_->width();
    // The dot's glow reaches past the block's edge, as a shadow would.
    const double width = dotSize + 8 + timeWidth + (paused ? 7 + pausedWidth : 0);
    BarPiece block{QSizeF(width, 36), [=, this](QPainter& p, const QRectF& box) {
                       const double x = box.left() + dotSize + 8;
                       p.setPen(RecordingStyle::primary());
                       p.setFont(timeFont);
                       p.drawText(QRectF(x, box.top(), timeWidth, box.height()), Qt::AlignVCenter,
                                  QString::fromStdString(model_.elapsedText()));
                       if (paused) {
                           p.setPen(Theme::amber());
                           p.setFont(pausedFont);
                           p.drawText(
                               QRectF(x + timeWidth + 7, box.top(), pausedWidth, box.height()),
                               Qt::AlignVCenter, "PAUSED");
                       }
                   }};
    const double offset = (dotSide - dotSize) / 2;
    block.parts.push_back(
        BarPiece::part(QRectF(-offset, 18 - dotSide / 2, dotSide, dotSide), {}, {}, dot_));
    return block;
}

double RecordingBar::reservedTimeWidth() const {
    // As wide as the widest digits could make it, so the bar does not twitch every second.
    QString widest = QString::fromStdString(model_.elapsedText());
    for (auto& c : widest) {
        if (c.isDigit()) {
            c = '0';
        }
    }
    return RecordingStyle::textWidth(widest, RecordingStyle::font(15.5, QFont::DemiBold)) + 1;
}

BarPiece RecordingBar::iconButton(const char* glyph, QColor colour, bool highlighted,
                                  std::function<void()> action, const char* tooltip) {
    return {QSizeF(36, 36),
            [=](QPainter& p, const QRectF& box) {
                paintIconButton(p, box, glyph, colour, highlighted);
            },
            std::move(action), tooltip};
}

std::vector<BarPiece> RecordingBar::row() {
    const QFont stopFont = RecordingStyle::font(13, QFont::DemiBold);
    const double stopText = RecordingStyle::textWidth("Stop", stopFont);
    auto stop = [this] { run(actions_.onStop); };
    std::vector<BarPiece> pieces{timerBlock()};
    if (model_.collapsed()) {
        pieces.push_back({QSizeF(12 + 14 + 6 + stopText + 12, 32),
                          [=](QPainter& p, const QRectF& box) {
                              paintCoralButton(p, box, 999, "stop.fill", 14, 6, "Stop", stopFont);
                          },
                          stop, "Stop recording"});
        pieces.push_back({QSizeF(30, 32),
                          [](QPainter& p, const QRectF& box) {
                              const QColor ink = RecordingStyle::secondary();
                              const double y = box.center().y() - 5.5;
                              drawRecordingGlyph(p, "chevron.left",
                                                 QRectF(box.center().x() - 10, y, 11, 11), ink,
                                                 2.6);
                              drawRecordingGlyph(p, "chevron.right",
                                                 QRectF(box.center().x() - 1, y, 11, 11), ink, 2.6);
                          },
                          [this] { model_.setCollapsed(false); }, "Expand"});
        return pieces;
    }
    pieces.push_back(divider(6));
    if (model_.phase() == RecordingPhase::paused) {
        pieces.push_back(iconButton(
            "play.fill", Theme::coral(), true, [this] { run(actions_.onResume); }, "Resume"));
    } else {
        pieces.push_back(iconButton(
            "pause.fill", RecordingStyle::primary(), false, [this] { run(actions_.onPause); },
            "Pause"));
    }
    pieces.push_back({QSizeF(14 + 16 + 7 + stopText + 14, 36),
                      [=](QPainter& p, const QRectF& box) {
                          paintCoralButton(p, box, 9, "stop.fill", 16, 7, "Stop", stopFont);
                      },
                      stop, "Stop recording"});
    pieces.push_back(iconButton(
        "trash", Theme::red(), false, [this] { run(actions_.onDiscard); }, "Discard recording"));
    pieces.push_back(divider(6));
    pieces.push_back({QSizeF(28, 36),
                      [](QPainter& p, const QRectF& box) {
                          drawRecordingGlyph(
                              p, "chevron.right",
                              QRectF(box.center() - QPointF(6.5, 6.5), QSizeF(13, 13)),
                              RecordingStyle::secondary(), 2.6);
                      },
                      [this] { model_.setCollapsed(true); }, "Collapse"});
    return pieces;
}

} // namespace velloq::recording
