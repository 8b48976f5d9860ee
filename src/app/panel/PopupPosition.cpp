#include "app/panel/PopupPosition.h"

#include <algorithm>

namespace velloq {

QPoint popupPosition(const QRect& icon, QPoint pointer, const QRect& workArea, QSize panel) {
    const bool known = icon.isValid() && !icon.isEmpty();
    const QRect anchor = known ? icon : QRect(pointer, QSize(1, 1));
    const int gap = known ? popupGap : 0;
    const bool above = anchor.center().y() > workArea.center().y();
    int x = known ? anchor.center().x() - panel.width() / 2 : anchor.left();
    int y = above ? anchor.top() - gap - panel.height() : anchor.bottom() + 1 + gap;
    // Kept inside the work area; a panel larger than it keeps its top-left corner in.
    x = std::max(workArea.left(), std::min(x, workArea.right() + 1 - panel.width()));
    y = std::max(workArea.top(), std::min(y, workArea.bottom() + 1 - panel.height()));
    return {x, y};
}

} // namespace velloq
