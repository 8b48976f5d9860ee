#include "editor/ToolBarButtons.h"

#include "editor/EditorStyle.h"
#include "editor/MarkupFont.h"
#include "ui/Glyphs.h"
#include "ui/Theme.h"

#include <QFontMetricsF>
#include <QPainter>

namespace velloq::editor {

FaceButton::FaceButton(QSize size, QWidget* parent) : QAbstractButton(parent), size_(size) {
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(size);
    setCursor(Qt::PointingHandCursor);
}

void FaceButton::setSelected(bool selected) {
    if (selected != selected_) {
        selected_ = selected;
        update();
    }
}

void FaceButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintFace(painter, QRectF(rect()));
}

SymbolButton::SymbolButton(std::string symbol, QSize size, QWidget* parent)
    : FaceButton(size, parent), symbol_(std::move(symbol)) {}

void SymbolButton::paintFace(QPainter& painter, const QRectF& box) {
    QColor ink = EditorStyle::primary(*this);
    if (selected()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Theme::coral());
        painter.drawRoundedRect(box, 7, 7);
        ink = Qt::white;
    } else if (!isEnabled()) {
        ink = EditorStyle::primary(*this, 0.25);
    } else if (isDown()) {
        ink = EditorStyle::primary(*this, 0.6);
    }
    const double side = 17;
    drawGlyph(painter, symbol_,
              QRectF(box.center() - QPointF(side / 2, side / 2), QSizeF(side, side)), ink);
}

SizeButton::SizeButton(QWidget* parent) : FaceButton(QSize(28, 24), parent) {}

void SizeButton::present(Shows shows, double value, const QColor& colour) {
    shows_ = shows;
    value_ = value;
    colour_ = colour;
    update();
}

void SizeButton::paintFace(QPainter& painter, const QRectF& box) {
    if (selected()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(EditorStyle::primary(*this, 0.12));
        painter.drawRoundedRect(box, 6, 6);
    }
    if (shows_ == Shows::strokeWidth) {
        const QRectF bar(box.center().x() - 8, box.center().y() - value_ / 2, 16, value_);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour_);
        painter.drawRoundedRect(bar, value_ / 2, value_ / 2);
    } else {
        painter.setFont(markupFont(value_));
        painter.setPen(colour_);
        painter.drawText(box, Qt::AlignCenter, QStringLiteral("A"));
    }
}

SwatchButton::SwatchButton(QColor colour, QWidget* parent)
    : FaceButton(QSize(26, 26), parent), colour_(colour) {}

void SwatchButton::paintFace(QPainter& painter, const QRectF& box) {
    const QPointF centre = box.center();
    painter.setBrush(colour_);
    painter.setPen(QPen(EditorStyle::primary(*this, 0.2), 1));
    painter.drawEllipse(centre, 8.5, 8.5); // 18 across, the border inside it
    if (selected()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Theme::coral(), 2));
        painter.drawEllipse(centre, 11, 11);
    }
}

} // namespace velloq::editor
