#pragma once

// A modal question with a few buttons, as the desktop draws it.

#include <cstddef>
#include <string>
#include <vector>

namespace velloq::platform {

enum class AlertStyle { informational, warning, critical };

struct AlertRequest {
    AlertStyle style = AlertStyle::informational;
    std::string message;              // the bold first line
    std::string informativeText;      // the sentence under it
    std::vector<std::string> buttons; // left to right in reading order; the first is the default
};

class Alerts {
public:
    virtual ~Alerts() = default;
    // Main thread. Blocks, with events still flowing, until the user answers;
    // returns the index of the button chosen. Closing the alert any other way
    // (Escape, the window's close) answers with the last button.
    virtual std::size_t run(const AlertRequest& request) = 0;
};

} // namespace velloq::platform
