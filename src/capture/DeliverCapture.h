#pragma once

// The end of a still capture: sound, PNG, then the editor, or upload →
// clipboard → card. Failures end in an error banner titled "Velloq".

#include "net/UploadError.h"

#include <functional>
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <string>
#include <string_view>

namespace velloq::capture {

// Where a capture can go; the product's are the shared editor, the sharing
// service and the shared toast controller.
struct DeliveryRoutes {
    std::function<void(const QImage& image, QSize pixelSize)> openEditor;
    std::function<void(std::string png, std::function<void(NetResult<std::string>)> done)> upload;
    std::function<void(std::string url, QImage image, QByteArray png)> showCard;
    std::function<void(std::string_view message)> showErrorBanner;
};

[[nodiscard]] DeliveryRoutes productRoutes();

// Runs on the main thread. `scale` is pixels per point of `image`.
void deliverCapture(const QImage& image, double scale, const DeliveryRoutes& routes);
void deliverCapture(const QImage& image, double scale);

} // namespace velloq::capture
