#pragma once

// The five panes of the settings window, in sidebar order, and the form each
// one shows.

#include "app/settings/FormParts.h"
#include "app/settings/SettingsServices.h"

#include <array>
#include <string_view>

namespace velloq {

enum class Pane { general, capture, video, shortcuts, about };

struct PaneInfo {
    Pane pane;
    std::string_view title;
    std::string_view symbol;
};

inline constexpr std::array<PaneInfo, 5> allPanes{{
    {Pane::general, "General", "gearshape"},
    {Pane::capture, "Capture", "camera.viewfinder"},
    {Pane::video, "Video", "video.fill"},
    {Pane::shortcuts, "Shortcuts", "keyboard"},
    {Pane::about, "About", "info.circle"},
}};

// A pane's form; shown() runs each time the pane comes into view.
class PaneView : public FormPage {
public:
    using FormPage::FormPage;
    virtual void shown() = 0;
};

PaneView* makePane(Pane pane, const SettingsServices& services);

PaneView* makeGeneralPane(const SettingsServices& services);
PaneView* makeCapturePane(const SettingsServices& services);
PaneView* makeVideoPane(const SettingsServices& services);
PaneView* makeShortcutsPane();
PaneView* makeAboutPane(const SettingsServices& services);

} // namespace velloq
