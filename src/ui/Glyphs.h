#pragma once

// Every glyph the product draws, in the colour it is drawn in.
//
// Named glyphs ("pencil.tip", "arrow.uturn.backward", "rectangle.dashed",
// "lasso", ...) are line drawings of our own on a 20-unit grid, for buttons.
// A `Symbol` names what a banner or card means; it comes from the desktop's
// symbolic icon theme where that has an icon meaning the same thing, and from
// an outline of our own otherwise.

#include <functional>
#include <QColor>
#include <QIcon>
#include <QRectF>
#include <string_view>

class QPainter;

namespace velloq {

// Draws the named glyph centred in the largest square that fits in `box`, with
// lines about `lineWidth` points wide; an unknown name draws nothing and
// returns false.
bool drawGlyph(QPainter& painter, std::string_view name, const QRectF& box, const QColor& colour,
               double lineWidth = 1.5);

// The named glyph as an icon of `points` size for 1x and 2x displays.
QIcon glyphIcon(std::string_view name, int points, const QColor& colour);

// An icon `points` square at 1x and 2x, each drawn by `paint` into the square.
QIcon squareIcon(int points, const std::function<void(QPainter&, const QRectF&)>& paint);

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
