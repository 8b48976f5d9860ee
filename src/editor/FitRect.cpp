#include "editor/FitRect.h"

#include <algorithm>

namespace velloq::editor {

QRectF fitRect(QSizeF area, QSizeF imagePoints) {
    const double w = imagePoints.width();
    const double h = imagePoints.height();
    const double areaW = area.width();
    const double areaH = area.height();
    if (!(w > 0 && h > 0 && areaW > 0 && areaH > 0)) {
        return QRectF(0, 0, 0, 0);
    }
    const double s = std::min({areaW / w, areaH / h, 1.0});
    return QRectF((areaW - w * s) / 2, (areaH - h * s) / 2, w * s, h * s);
}

} // namespace velloq::editor
