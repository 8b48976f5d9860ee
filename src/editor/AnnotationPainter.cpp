#include "editor/AnnotationPainter.h"

#include "editor/EditorState.h"
#include "editor/MarkupFont.h"
#include "editor/Overloaded.h"
#include "editor/Tools.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace velloq::editor {

namespace {

constexpr double rectCornerRadius = 4;

void strokePolyline(const std::vector<QPointF>& points, const QPen& pen, QPainter& painter) {
    if (points.size() < 2) {
        return;
    }
    QPainterPath path(points.front());
    for (std::size_t i = 1; i < points.size(); ++i) {
        path.lineTo(points[i]);
    }
    painter.strokePath(path, pen);
}

void drawArrow(const kind::Arrow& arrow, const QColor& color, double width, QPainter& painter) {
    const QPointF s = arrow.start;
    const QPointF e = arrow.end;
    QPainterPath shaft(s);
    shaft.lineTo(e);
    painter.strokePath(shaft, QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));

    // atan2(0, 0) is 0, so a zero-length arrow gets a head pointing right.
    const double theta = std::atan2(e.y() - s.y(), e.x() - s.x());
    const double length = arrowBarbLength(width);
    const double back = theta + std::numbers::pi;
    const QPointF p1 =
        e + length * QPointF(std::cos(back - arrowBarbAngle), std::sin(back - arrowBarbAngle));
    const QPointF p2 =
        e + length * QPointF(std::cos(back + arrowBarbAngle), std::sin(back + arrowBarbAngle));
    QPainterPath head(p1);
    head.lineTo(e);
    head.lineTo(p2);
    painter.strokePath(head, QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

// Draws `text` with the centre of its line box on `centre`.
void drawCentredText(const QString& text, const QFont& font, const QColor& color, QPointF centre,
                     QPainter& painter) {
    const QFontMetricsF metrics(font);
    const double width = metrics.horizontalAdvance(text);
    const double height = metrics.ascent() + metrics.descent();
    const QPointF baseline(centre.x() - width / 2, centre.y() - height / 2 + metrics.ascent());
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(baseline, text);
}

} // namespace

double arrowBarbLength(double width) {
    return std::max(3 * width, 10.0);
}

void drawKind(const Kind& kind, const QColor& color, double width, QPainter& painter) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    std::visit(
        Overloaded{
            [&](const kind::Pen& pen) {
                strokePolyline(pen.points,
                               QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin),
                               painter);
            },
            [&](const kind::Highlighter& stroke) {
                QColor translucent = color;
                translucent.setAlphaF(static_cast<float>(highlighterOpacity));
                strokePolyline(stroke.points,
                               QPen(translucent, highlighterWidthFactor * width, Qt::SolidLine,
                                    Qt::RoundCap, Qt::RoundJoin),
                               painter);
            },
            [&](const kind::Arrow& arrow) { drawArrow(arrow, color, width, painter); },
            [&](const kind::Rect& rect) {
                QPainterPath path;
                path.addRoundedRect(rect.rect, rectCornerRadius, rectCornerRadius);
                painter.strokePath(path,
                                   QPen(color, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
            },
            [&](const kind::Text& text) {
                drawCentredText(text.string, markupFont(width), color, text.point, painter);
            },
            [&](const kind::Number& badge) {
                const double r = badgeDiameter / 2;
                painter.setPen(Qt::NoPen);
                painter.setBrush(color);
                painter.drawEllipse(QRectF(badge.point - QPointF(r, r), QSizeF(2 * r, 2 * r)));
                drawCentredText(QString::number(badge.number), markupFont(badgeFontSize), Qt::white,
                                badge.point, painter);
            },
        },
        kind);
    painter.restore();
}

void drawAnnotation(const Annotation& annotation, QPainter& painter) {
    drawKind(annotation.kind, annotation.color, annotation.width, painter);
}

void drawPreview(const EditorState& state, QPainter& painter) {
    toolBehaviour(state.tool()).preview(state, painter);
}

} // namespace velloq::editor
