#include "app/ProductRoutes.h"

#include "capture/CaptureOverlayController.h"
#include "capture/PngData.h"
#include "editor/AnnotationWindowController.h"
#include "feedback/ToastController.h"
#include "net/ImageUpload.h"
#include "net/UploadError.h"

namespace velloq {

ImageRoutes productRoutes() {
    ImageRoutes routes;
    routes.encodePng = [](const QImage& image) -> std::optional<QByteArray> {
        const auto png = capture::pngData(image);
        if (!png) {
            return std::nullopt;
        }
        return QByteArray(reinterpret_cast<const char*>(png->data()),
                          static_cast<qsizetype>(png->size()));
    };
    routes.uploadImage = [](QByteArray png, std::function<void(UploadOutcome)> done) {
        uploadImageInBackground(png.toStdString(),
                                [done = std::move(done)](NetResult<std::string> result) {
                                    if (result) {
                                        done(std::move(*result));
                                    } else {
                                        done(Unexpected(userMessage(result.error())));
                                    }
                                });
    };
    routes.openEditor = [](const QImage& image, QSize pixels) {
        editor::AnnotationWindowController::shared().show(image, pixels);
    };
    routes.showCard = [](std::string url, QImage image, QByteArray png) {
        ToastController::shared().showCard(std::move(url), std::move(image), std::move(png));
    };
    routes.showBanner = [](Severity severity, std::string_view title, std::string_view message) {
        ToastController::shared().showBanner(severity, title, message);
    };
    return routes;
}

void wireProductRoutes() {
    const ImageRoutes routes = productRoutes();
    capture::CaptureOverlayController::shared().setRoutes(routes);
    editor::AnnotationWindowController::shared().setServices(routes);
    ToastController::shared().onMarkup = routes.openEditor;
}

} // namespace velloq
