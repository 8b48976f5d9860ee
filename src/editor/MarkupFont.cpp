#include "editor/MarkupFont.h"

#include <algorithm>
#include <cmath>
#include <QFontDatabase>
#include <QStringList>

namespace velloq::editor {

QString markupFontFamily() {
    // Resolved once: the font database does not change while we run.
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const char* candidate : {"Quicksand", "Nunito", "Comfortaa"}) {
            const QString name = QString::fromLatin1(candidate);
            if (installed.contains(name) &&
                QFontDatabase::isScalable(name, QStringLiteral("Bold"))) {
                return name;
            }
        }
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return family;
}

QFont markupFont(double size) {
    QFont font(markupFontFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Bold);
    // Pixel sizes are whole numbers; every size the editor uses is one already.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    // Unhinted outlines scale evenly, so the export matches what the screen shows.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace velloq::editor
