#pragma once

// The one colour palette of the interface. Views cite colours by these names
// and never restate their values. Each colour is made once, on first use.

#include <QColor>

namespace velloq {

struct Theme {
    static const QColor& coral();     // brand accent
    static const QColor& coralDeep(); // accent on a pressed control
    static const QColor& green();     // success, online, granted
    static const QColor& amber();     // warning, paused
    static const QColor& red();       // danger, offline, error
    static const QColor& ink();       // dark text and fills
    static const QColor& gray();      // secondary marks
    static const QColor& purple();
    static const QColor& blue();
    static const QColor& violet();
    static const QColor& sky();
    static const QColor& night(); // dark surface
    static const QColor& black(); // darkest surface
    static const QColor& mist();  // light hairlines and surfaces
};

} // namespace velloq
