#pragma once

// Marks every left and right click made while a recording runs with a short
// ripple on screen, so that the click shows in the video.
//
// Ripples are placed in the toolkit's desktop coordinates: the pointer is read
// there and windows are placed there, so the spot needs no conversion at all.

#include "platform/ClickMonitor.h"
#include "platform/Clock.h"

#include <memory>
#include <QColor>
#include <QPoint>
#include <vector>

class QWidget;

namespace velloq::recording {

class ClickRippleWindow;

class ClickHighlighter {
public:
    // `colour` is the theme's accent; `composited` says whether translucent
    // windows really are (otherwise ripples are shaped rings).
    ClickHighlighter(platform::ClickMonitor& monitor, QColor colour, bool composited);
    ~ClickHighlighter();
    ClickHighlighter(const ClickHighlighter&) = delete;
    ClickHighlighter& operator=(const ClickHighlighter&) = delete;

    // Main thread. Stops, then watches clicks; a watch the window system
    // refuses is simply absent.
    void start();
    // Main thread; idempotent. Takes every ripple off the screen.
    void stop();
    // One ripple centred on `centre`, gone after its lifetime.
    void spawnRipple(QPoint centre);

    // The ripple windows on screen, oldest first.
    std::vector<const QWidget*> ripples() const;

private:
    struct Ripple;
    void remove(const ClickRippleWindow* window);

    platform::ClickMonitor& monitor_;
    QColor colour_;
    bool composited_;
    std::shared_ptr<ClickHighlighter*> self_; // the weak handle callbacks hold
    std::vector<std::unique_ptr<Ripple>> ripples_;
};

} // namespace velloq::recording
