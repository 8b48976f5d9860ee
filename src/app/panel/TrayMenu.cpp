#include "app/panel/TrayMenu.h"

#include "app/BeginCapture.h"
#include "app/panel/PanelRows.h"
#include "platform/Platform.h"
#include "recording/RecordingController.h"

#include <QMenu>

namespace velloq {

void buildTrayMenu(QMenu& menu, const PanelActions& actions) {
    for (std::size_t index = 0; index < panelRows.size(); ++index) {
        const PanelRow& row = panelRows[index];
        // A tab puts the rest in the menu's shortcut column without installing
        // a key binding, which the commands must not have.
        QString text = QString::fromUtf8(row.title);
        if (*row.shortcut != '\0') {
            text += QLatin1Char('\t') + QString::fromUtf8(row.shortcut);
        }
        const std::function<void()>& action = actions.*row.action;
        QAction* item = menu.addAction(text);
        item->setEnabled(static_cast<bool>(action));
        if (action) {
            QObject::connect(item, &QAction::triggered, &menu, [action] { action(); });
        }
        // Capturing, the windows, and quitting form three groups.
        if (index == 1 || index == 3) {
            menu.addSeparator();
        }
    }
}

PanelActions productPanelActions() {
    return {
        .capture = [] { beginCapture(); },
        .recordScreen = [] { recording::RecordingController::shared().beginRecordFlow(); },
        .openSettings = [] { platform::application().openWindow("settings"); },
        .openPermissions = [] { platform::application().openWindow("permissions"); },
        .quit = [] { platform::application().terminate(); },
    };
}

} // namespace velloq
