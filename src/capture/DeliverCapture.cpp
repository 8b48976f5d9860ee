#include "capture/DeliverCapture.h"

#include "app/Settings.h"
#include "capture/PngData.h"
#include "editor/AnnotationEditorView.h" // the controller keeps a pointer to it
#include "editor/AnnotationWindowController.h"
#include "feedback/ToastController.h"
#include "net/ImageUpload.h"
#include "platform/Platform.h"

namespace velloq::capture {

DeliveryRoutes productRoutes() {
    DeliveryRoutes routes;
    routes.openEditor = [](const QImage& image, QSize pixels) {
        editor::AnnotationWindowController::shared().show(image, pixels);
    };
    routes.upload = [](std::string png, std::function<void(NetResult<std::string>)> done) {
        uploadImageInBackground(std::move(png), std::move(done));
    };
    routes.showCard = [](std::string url, QImage image, QByteArray png) {
        ToastController::shared().showCard(std::move(url), std::move(image), std::move(png));
    };
    routes.showErrorBanner = [](std::string_view message) {
        ToastController::shared().showBanner(Severity::error, "Velloq", message);
    };
    return routes;
}

void deliverCapture(const QImage& image, double scale) {
    deliverCapture(image, scale, productRoutes());
}

void deliverCapture(const QImage& image, double scale, const DeliveryRoutes& routes) {
    auto& store = platform::defaults();
    const bool sound = settings::playSound(store);
    const bool edit = settings::editBeforeUpload(store);
    if (sound) {
        platform::sound().playCaptureSound();
    }
    const auto png = pngData(image);
    if (!png) {
        routes.showErrorBanner("Couldn't encode the image.");
        return;
    }
    // The image carries its size in points through its pixel ratio.
    QImage shown = image;
    shown.setDevicePixelRatio(scale > 0 ? scale : 1);
    if (edit) {
        routes.openEditor(shown, image.size());
        return;
    }
    std::string bytes(reinterpret_cast<const char*>(png->data()), png->size());
    QByteArray cardBytes(bytes.data(), qsizetype(bytes.size()));
    routes.upload(std::move(bytes), [routes, shown, cardBytes](NetResult<std::string> result) {
        if (!result) {
            routes.showErrorBanner(userMessage(result.error()));
            return;
        }
        platform::clipboard().setText(*result);
        routes.showCard(*result, shown, cardBytes);
    });
}

} // namespace velloq::capture
