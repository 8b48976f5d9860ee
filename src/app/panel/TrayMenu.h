#pragma once

// The tray icon's context menu: the panel's five commands, for trays that
// only ever show a menu and for the right button everywhere.

#include "app/panel/PanelActions.h"

class QMenu;

namespace velloq {

// Fills `menu` with the five commands; their shortcuts appear as labels only.
void buildTrayMenu(QMenu& menu, const PanelActions& actions);

// The product's commands: the capture entry point, the two scene windows and quit.
PanelActions productPanelActions();

} // namespace velloq
