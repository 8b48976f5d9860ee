#include "recording/RecordingStyle.h"

#include "recording/RecordingGlyphs.h"
#include "ui/Theme.h"

#include <algorithm>
#include <QApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

namespace velloq::recording {

QColor withOpacity(QColor colour, double opacity) {
    colour.setAlphaF(static_cast<float>(std::clamp(opacity, 0.0, 1.0) * colour.alphaF()));
    return colour;
}

bool RecordingStyle::dark() {
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
}

QColor RecordingStyle::primary() {
    return QGuiApplication::palette().color(QPalette::Active, QPalette::WindowText);
}

QColor RecordingStyle::secondary() {
    return withOpacity(primary(), 0.55);
}

QColor RecordingStyle::primaryAt(double opacity) {
    return withOpacity(primary(), opacity);
}

QFont RecordingStyle::font(double points, QFont::Weight weight) {
    QFont font = QGuiApplication::font();
    // Points here are logical pixels, whatever the screen's dots per inch.
    font.setPixelSize(std::max(1, static_cast<int>(points + 0.5)));
    font.setWeight(weight);
    return font;
}

double RecordingStyle::textWidth(const QString& text, const QFont& font) {
    return QFontMetricsF(font).horizontalAdvance(text);
}

QPainterPath roundedRect(const QRectF& rect, double radius) {
    const double r = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2);
    QPainterPath path;
    path.addRoundedRect(rect, r, r);
    return path;
}

void paintBarBackground(QPainter& painter, const QRectF& bounds, double radius, bool translucent) {
    painter.save();
    painter.setPen(Qt::NoPen);
    const QColor window = QGuiApplication::palette().color(QPalette::Window);
    const auto shape = roundedRect(bounds, radius);
    painter.fillPath(shape, translucent ? withOpacity(window, 0.85) : window);
    if (RecordingStyle::dark()) {
        painter.fillPath(shape, withOpacity(Theme::ink(), 0.82));
    }
    painter.setPen(QPen(RecordingStyle::primaryAt(0.1), 1));
    painter.drawPath(roundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), radius));
    painter.restore();
}

void paintDivider(QPainter& painter, const QRectF& box) {
    const QRectF line(box.center().x() - 0.25, box.center().y() - 12, 0.5, 24);
    painter.fillRect(line, RecordingStyle::primaryAt(0.12));
}

void paintIconButton(QPainter& painter, const QRectF& box, const char* glyph, const QColor& colour,
                     bool highlighted) {
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(highlighted ? withOpacity(Theme::coral(), 0.16)
                                 : RecordingStyle::primaryAt(0.04));
    painter.drawPath(roundedRect(box, 9));
    painter.restore();
    drawRecordingGlyph(painter, glyph, QRectF(box.center() - QPointF(8, 8), QSizeF(16, 16)),
                       colour);
}

void paintCoralButton(QPainter& painter, const QRectF& box, double radius, const char* glyph,
                      double glyphSize, double spacing, const QString& text, const QFont& font) {
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::coral());
    painter.drawPath(roundedRect(box, radius));
    const double textWidth = RecordingStyle::textWidth(text, font);
    const double content = (glyph ? glyphSize + spacing : 0) + textWidth;
    double x = box.center().x() - content / 2;
    if (glyph) {
        drawRecordingGlyph(painter, glyph,
                           QRectF(x, box.center().y() - glyphSize / 2, glyphSize, glyphSize),
                           Qt::white);
        x += glyphSize + spacing;
    }
    painter.setPen(Qt::white);
    painter.setFont(font);
    painter.drawText(QRectF(x, box.top(), textWidth + 1, box.height()), Qt::AlignVCenter, text);
    painter.restore();
}

} // namespace velloq::recording
