#pragma once

// What the editor's actions need from the rest of the product, gathered so a
// test can stand in for any of it. standardEditorServices() wires the real ones.

#include "common/Expected.h"
#include "feedback/Severity.h"

#include <functional>
#include <optional>
#include <QByteArray>
#include <QImage>
#include <string>
#include <string_view>

namespace velloq::editor {

// The link the service gave, or the sentence to show the user.
using UploadOutcome = Expected<std::string, std::string>;

struct EditorServices {
    // The one PNG encoder; none when the bitmap cannot be encoded.
    std::function<std::optional<QByteArray>(const QImage&)> encodePng;
    // Uploads PNG bytes without blocking and calls `done` on the main thread.
    std::function<void(QByteArray png, std::function<void(UploadOutcome)> done)> uploadImage;
    std::function<void(Severity, std::string_view title, std::string_view message)> showBanner;
};

EditorServices standardEditorServices();

} // namespace velloq::editor
