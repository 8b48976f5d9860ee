#pragma once

#include <QRectF>
#include <QSizeF>

namespace velloq::editor {

// Where an image of `imagePoints` size is shown inside a canvas area of `area`
// size, in canvas coordinates: scaled down to fit but never enlarged, centred.
// The zero rectangle when either size is empty.
[[nodiscard]] QRectF fitRect(QSizeF area, QSizeF imagePoints);

} // namespace velloq::editor
