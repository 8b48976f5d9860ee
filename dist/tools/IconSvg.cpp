#include "IconSvg.h"

#include "ui/BrandMark.h"
#include "ui/Theme.h"

#include <QPainterPathStroker>
#include <QRegularExpression>
#include <QTransform>

namespace velloq::dist {
namespace {

std::string number(double value) {
    return QString::number(value, 'f', 3).remove(QRegularExpression("\\.?0+$")).toStdString();
}

// The stroked outline as a filled path: the mark at `size` units square,
// offset by `offset`, with lines `lineWidth` units wide.
std::string markPathData(double offset, double size, double lineWidth) {
    QTransform toBox;
    toBox.translate(offset, offset);
    toBox.scale(size / BrandMark::grid, size / BrandMark::grid);
    QPainterPathStroker stroker;
    stroker.setWidth(lineWidth);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    const QPainterPath shape = stroker.createStroke(toBox.map(BrandMark::outline()));
    std::string data;
    for (int i = 0; i < shape.elementCount(); ++i) {
        const QPainterPath::Element e = shape.elementAt(i);
        const std::string point = number(e.x) + " " + number(e.y);
        if (e.isMoveTo()) {
            data += (data.empty() ? "M" : " M") + point;
        } else if (e.isLineTo()) {
            data += " L" + point;
        } else if (e.isCurveTo()) {
            const auto c2 = shape.elementAt(i + 1);
            const auto end = shape.elementAt(i + 2);
            data += " C" + point + " " + number(c2.x) + " " + number(c2.y) + " " + number(end.x) +
                    " " + number(end.y);
            i += 2;
        }
    }
    return data + " Z";
}

std::string hex(const QColor& colour) {
    return colour.name(QColor::HexRgb).toStdString();
}

} // namespace

std::string applicationIconSvg() {
    // A 128-unit canvas: the square leaves a margin, the mark sits inside it.
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"128\" height=\"128\" "
           "viewBox=\"0 0 128 128\">\n"
           "  <rect x=\"8\" y=\"8\" width=\"112\" height=\"112\" rx=\"26\" fill=\"" +
           hex(Theme::coral()) +
           "\"/>\n"
           "  <path fill=\"#ffffff\" d=\"" +
           markPathData(20, 88, 7.5) + "\"/>\n</svg>\n";
}

std::string symbolicIconSvg() {
    // The tray draws the mark 1.9 points wide at 18 points; the same proportion here.
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\" "
           "viewBox=\"0 0 16 16\">\n"
           "  <path fill=\"" +
           hex(Theme::coral()) + "\" d=\"" + markPathData(0, 16, 1.9 * 16 / 18) + "\"/>\n</svg>\n";
}

} // namespace velloq::dist
