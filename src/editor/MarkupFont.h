#pragma once

#include <QFont>

namespace velloq::editor {

// The bold rounded face used for text annotations, badges, the size buttons and
// the text field, at `size` layout units (pixels of the painter's coordinate
// space, so a scaled painter scales the text with everything else). Falls back
// to the default bold sans face where the rounded one is not installed.
QFont markupFont(double size);

// The family markupFont picked, for diagnostics and tests.
QString markupFontFamily();

} // namespace velloq::editor
