#include "capture/DeliverCapture.h"

#include "platform/Platform.h"
#include "settings/Settings.h"

namespace velloq::capture {

void deliverCapture(const QImage& image, double scale, const ImageRoutes& routes) {
    auto& store = platform::defaults();
    const bool sound = settings::playSound(store);
    const bool edit = settings::editBeforeUpload(store);
    if (sound) {
        platform::sound().playCaptureSound();
    }
    const auto png = routes.encodePng(image);
    if (!png) {
        routes.showBanner(Severity::error, "Velloq", "Couldn't encode the image.");
        return;
    }
    // The image carries its size in points through its pixel ratio.
    QImage shown = image;
    shown.setDevicePixelRatio(scale > 0 ? scale : 1);
    if (edit) {
        routes.openEditor(shown, image.size());
        return;
    }
    routes.uploadImage(*png, [routes, shown, cardBytes = *png](UploadOutcome result) {
        if (!result) {
            routes.showBanner(Severity::error, "Velloq", result.error());
            return;
        }
        platform::clipboard().setText(*result);
        routes.showCard(*result, shown, cardBytes);
    });
}

} // namespace velloq::capture
