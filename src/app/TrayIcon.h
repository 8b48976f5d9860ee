#pragma once

// The application's only permanent surface: its icon in the desktop's tray.

#include <memory>
#include <QMenu>
#include <QSystemTrayIcon>

namespace velloq {

class TrayIcon {
public:
    TrayIcon();
    void show() { icon_.show(); }

private:
    std::unique_ptr<QMenu> menu_;
    QSystemTrayIcon icon_;
};

} // namespace velloq
