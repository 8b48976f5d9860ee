#pragma once

// The five commands of the tray panel, top to bottom, as both the panel and
// the tray's menu list them.

#include "app/panel/PanelActions.h"
#include "app/panel/ShortcutLabels.h"

#include <array>

namespace velloq {

struct PanelRow {
    const char* title;
    const char* symbol;   // empty: no symbol, the title keeps its column
    const char* shortcut; // empty: none
    std::function<void()> PanelActions::*action;
};

inline const std::array<PanelRow, 5> panelRows = {{
    {"Capture", "camera.viewfinder", shortcuts::capture, &PanelActions::capture},
    {"Record screen", "video", shortcuts::recordScreen, &PanelActions::recordScreen},
    {"Settings\u2026", "gearshape", shortcuts::settings, &PanelActions::openSettings},
    {"Permissions\u2026", "lock.shield", "", &PanelActions::openPermissions},
    {"Quit Velloq", "", shortcuts::quit, &PanelActions::quit},
}};

} // namespace velloq
