#pragma once

// A window on a test's X server whose picture keeps changing, painted on a
// thread and X connection of its own: a grey growing brighter, or fresh
// noise every frame (which no encoder can compress, so a recording of it
// runs at its full bit rate).

#include <atomic>
#include <string>
#include <thread>

namespace velloq::testing {

class MovingPicture {
public:
    struct Options {
        int x = 0;
        int y = 0;
        int width = 320;
        int height = 240;
        int frameRate = 30;
        bool noise = false;
    };

    MovingPicture(const std::string& display, const Options& options);
    ~MovingPicture();
    MovingPicture(const MovingPicture&) = delete;
    MovingPicture& operator=(const MovingPicture&) = delete;

private:
    void run(std::string display);

    Options options_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> ready_{false};
    std::thread thread_;
};

} // namespace velloq::testing
