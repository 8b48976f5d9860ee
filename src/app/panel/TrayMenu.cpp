#include "app/panel/TrayMenu.h"

#include "app/BeginCapture.h"
#include "app/panel/ShortcutLabels.h"
#include "platform/Platform.h"

#include <QMenu>

namespace velloq {
namespace {

// A tab sets the text after it in the menu's shortcut column without
// installing a key binding, which the rows must not have.
QString labelled(const char* title, const char* shortcut) {
    QString text = QString::fromUtf8(title);
    if (shortcut != nullptr) {
        text += QLatin1Char('\t') + QString::fromUtf8(shortcut);
    }
    return text;
}

void add(QMenu& menu, QString text, const std::function<void()>& action) {
    QAction* item = menu.addAction(text);
    item->setEnabled(static_cast<bool>(action));
    if (action) {
        QObject::connect(item, &QAction::triggered, &menu, [action] { action(); });
    }
}

} // namespace

void buildTrayMenu(QMenu& menu, const PanelActions& actions) {
    add(menu, labelled("Capture", shortcuts::capture), actions.capture);
    add(menu, labelled("Record screen", shortcuts::recordScreen), actions.recordScreen);
    menu.addSeparator();
    add(menu, labelled("Settings\u2026", shortcuts::settings), actions.openSettings);
    add(menu, labelled("Permissions\u2026", nullptr), actions.openPermissions);
    menu.addSeparator();
    add(menu, labelled("Quit Velloq", shortcuts::quit), actions.quit);
}

PanelActions productPanelActions() {
    return {
        .capture = [] { beginCapture(); },
        // The recording flow is not wired yet: the row shows, disabled.
        .recordScreen = {},
        .openSettings = [] { platform::application().openWindow("settings"); },
        .openPermissions = [] { platform::application().openWindow("permissions"); },
        .quit = [] { platform::application().terminate(); },
    };
}

} // namespace velloq
