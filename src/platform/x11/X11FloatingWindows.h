#pragma once

// Floating panels on X11: a compositor is running when some client owns the
// screen's _NET_WM_CM_Sn selection, and a window is put on every workspace
// through the EWMH sticky state and the all-desktops desktop number.

#include "platform/FloatingWindows.h"

#include <memory>

struct _XDisplay;

namespace velloq::platform {

class X11FloatingWindows final : public FloatingWindows {
public:
    X11FloatingWindows();
    ~X11FloatingWindows() override;
    X11FloatingWindows(const X11FloatingWindows&) = delete;
    X11FloatingWindows& operator=(const X11FloatingWindows&) = delete;

    bool compositing() override;
    void showOnAllWorkspaces(std::uintptr_t nativeWindow) override;

private:
    struct DisplayClose {
        void operator()(_XDisplay* display) const;
    };
    _XDisplay* display(); // opened on first use; null without an X server

    std::unique_ptr<_XDisplay, DisplayClose> display_;
    bool opened_ = false;
};

} // namespace velloq::platform
