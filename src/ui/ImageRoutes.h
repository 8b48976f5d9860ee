#pragma once

// Where a finished image can go: encoded, uploaded, opened in the editor,
// shown on a card or reported in a banner. The shell hands the product's
// routes to the still-capture pipeline and the editor; tests hand their own.

#include "common/Expected.h"
#include "ui/Severity.h"

#include <functional>
#include <optional>
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <string>
#include <string_view>

namespace velloq {

// The link the service gave, or the sentence to show the user.
using UploadOutcome = Expected<std::string, std::string>;

struct ImageRoutes {
    // The one PNG encoder; none when the bitmap cannot be encoded.
    std::function<std::optional<QByteArray>(const QImage&)> encodePng;
    // Uploads PNG bytes without blocking and calls `done` on the main thread.
    std::function<void(QByteArray png, std::function<void(UploadOutcome)> done)> uploadImage;
    // `image` carries its size in points through its pixel ratio.
    std::function<void(const QImage& image, QSize pixelSize)> openEditor;
    std::function<void(std::string url, QImage image, QByteArray png)> showCard;
    std::function<void(Severity, std::string_view title, std::string_view message)> showBanner;
};

} // namespace velloq
