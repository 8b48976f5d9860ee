#pragma once

// The application's windows that open by identifier ("settings",
// "permissions"): at most one of each, created when opened and destroyed when
// closed, raised and activated when opened again.

#include <map>
#include <QPointer>
#include <QWidget>
#include <string>
#include <string_view>

namespace velloq {

class SceneWindows {
public:
    // Opens or raises the window; unknown identifiers are ignored. Returns the window.
    QWidget* open(std::string_view id);
    // The open window with this identifier, if any.
    QWidget* find(std::string_view id) const;

private:
    std::map<std::string, QPointer<QWidget>, std::less<>> windows_;
};

} // namespace velloq
