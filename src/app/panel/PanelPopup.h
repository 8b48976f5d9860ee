#pragma once

// The tray panel as a popup window: it opens next to the tray icon, takes
// the pointer and keyboard while shown, and closes on Escape (as every Qt
// popup does), on a click anywhere else, or once a row is chosen (before the
// row's action runs).

#include "app/panel/PanelActions.h"

#include <chrono>
#include <QWidget>

namespace velloq {

class MenuBarPanel;
class StatusService;

class PanelPopup final : public QWidget {
public:
    PanelPopup(StatusService& service, const PanelActions& actions);

    // Opens next to `icon` (global window-system coordinates; an empty
    // rectangle when the tray does not say where its icon is), or closes the
    // panel when it is open or was closed by this very click.
    void toggle(const QRect& icon);
    MenuBarPanel& panel() { return *panel_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void openAt(const QRect& icon);

    MenuBarPanel* panel_ = nullptr;
    std::chrono::steady_clock::time_point closedAt_{};
};

} // namespace velloq
