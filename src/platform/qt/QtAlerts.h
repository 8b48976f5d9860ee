#pragma once

#include "platform/Alert.h"

namespace velloq::platform {

// Application-modal message boxes with the desktop's own icon for the style.
class QtAlerts final : public Alerts {
public:
    std::size_t run(const AlertRequest& request) override;
};

} // namespace velloq::platform
