#pragma once

// The symbols banners and cards show, by what they mean. Each is drawn from
// the desktop's symbolic icon theme where it has an icon that means the same
// thing, and from a vector outline of our own otherwise; either way it takes
// the colour it is drawn in.

#include <QColor>
#include <QRectF>

class QPainter;

namespace velloq {

enum class Symbol {
    info,               // a lower-case "i"
    checkmark,          // done, copied, success
    exclamationmark,    // warning
    xmark,              // error
    sparkles,           // a fresh capture
    link,               // a link
    docOnDoc,           // copy
    arrowUpRightSquare, // open elsewhere
    pencilTip,          // mark up
    squareAndArrowDown, // save
    recordCircle,       // a recording
    playFill,           // play
};

// Draws `symbol` centred in the largest square that fits in `box`.
void drawSymbol(QPainter& painter, Symbol symbol, const QRectF& box, const QColor& colour);

// Whether the symbol comes from the installed icon theme (false: our own outline).
bool symbolFromIconTheme(Symbol symbol);

} // namespace velloq
