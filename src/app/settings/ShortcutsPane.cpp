#include "app/settings/SettingsPanes.h"

#include <QLabel>

namespace velloq {
namespace {

class ShortcutsPane final : public PaneView {
public:
    ShortcutsPane() : PaneView(QStringLiteral("Shortcuts")) {
        auto* section = addSection(QStringLiteral("Shortcuts"));
        // The hotkeys themselves are fixed and registered by the hotkey service.
        section->addRow(
            formRow(QStringLiteral("Open capture toolbar"), keys(QStringLiteral("Ctrl+Super+U"))));
        section->addRow(formRow(QStringLiteral("Start screen recording"),
                                keys(QStringLiteral("Ctrl+Super+R"))));
        section->setFooter(QStringLiteral(
            "Custom shortcuts arrive in a future version. Your desktop may reserve Print "
            "Screen for its own screenshots."));
    }

    void shown() override {}

private:
    static QLabel* keys(const QString& text) {
        auto* label = new QLabel(text);
        label->setForegroundRole(QPalette::PlaceholderText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    }
};

} // namespace

PaneView* makeShortcutsPane() {
    return new ShortcutsPane;
}

} // namespace velloq
