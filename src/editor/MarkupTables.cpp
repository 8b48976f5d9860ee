#include "editor/MarkupTables.h"

#include "ui/Theme.h"

namespace velloq::editor {

const std::array<QColor, 7>& markupPalette() {
    static const std::array<QColor, 7> palette = {
        Theme::coral(), Theme::violet(), Theme::amber(),        Theme::green(),
        Theme::sky(),   Theme::night(),  QColor(255, 255, 255),
    };
    return palette;
}

} // namespace velloq::editor
