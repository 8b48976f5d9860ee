#pragma once

namespace velloq::platform {

// Short event sounds of the desktop's sound theme.
class Sound {
public:
    virtual ~Sound() = default;
    // Plays the theme's screen-capture sound, restarting it if it still plays.
    // Silent where the theme or a sound server is missing.
    virtual void playCaptureSound() = 0;
};

} // namespace velloq::platform
