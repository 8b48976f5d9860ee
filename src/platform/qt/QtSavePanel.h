#pragma once

#include "platform/SavePanel.h"

namespace velloq::platform {

// A modal QFileDialog in save mode with one file type.
class QtSavePanel final : public SavePanel {
public:
    std::optional<std::filesystem::path> run(const SaveRequest& request) override;
};

} // namespace velloq::platform
