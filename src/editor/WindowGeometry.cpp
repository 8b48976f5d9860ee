#include "editor/WindowGeometry.h"

#include <algorithm>
#include <QLocale>

namespace velloq::editor {

QString defaultFileName(const QDateTime& when) {
    // The C locale keeps the digits Western whatever the user's language.
    return QStringLiteral("Screenshot ") +
           QLocale::c().toString(when, QStringLiteral("yyyy-MM-dd 'at' HH.mm.ss")) +
           QStringLiteral(".png");
}

QString windowSubtitle(QSize pixelSize) {
    return QStringLiteral("%1 × %2").arg(pixelSize.width()).arg(pixelSize.height());
}

QSizeF initialContentSize(QSizeF imagePoints, std::optional<QSizeF> visibleFrame) {
    const QSizeF screen = visibleFrame.value_or(QSizeF(1440, 900));
    double width = std::max(imagePoints.width() + 32, double(minimumContentSize.width()));
    width = std::min(width, 0.92 * screen.width());
    double height = std::max(imagePoints.height() + 140, double(minimumContentSize.height()));
    height = std::min(height, 0.92 * screen.height() - 28);
    return QSizeF(width, height);
}

} // namespace velloq::editor
