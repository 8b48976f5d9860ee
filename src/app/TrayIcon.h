#pragma once

// The application's only permanent surface: its icon in the desktop's tray.
// A left click opens the panel next to it; the right button (and trays that
// only show menus) gets the same commands as a menu.

#include <memory>
#include <QMenu>
#include <QSystemTrayIcon>

namespace velloq {

class PanelPopup;

class TrayIcon {
public:
    TrayIcon();
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    void show() { icon_.show(); }

private:
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<PanelPopup> popup_;
    QSystemTrayIcon icon_;
};

} // namespace velloq
