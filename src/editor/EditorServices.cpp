#include "editor/EditorServices.h"

#include "capture/PngData.h"
#include "feedback/ToastController.h"
#include "net/ImageUpload.h"
#include "net/UploadError.h"

namespace velloq::editor {

EditorServices standardEditorServices() {
    EditorServices services;
    services.encodePng = [](const QImage& image) -> std::optional<QByteArray> {
        const auto png = capture::pngData(image);
        if (!png) {
            return std::nullopt;
        }
        return QByteArray(reinterpret_cast<const char*>(png->data()),
                          static_cast<qsizetype>(png->size()));
    };
    services.uploadImage = [](QByteArray png, std::function<void(UploadOutcome)> done) {
        uploadImageInBackground(png.toStdString(),
                                [done = std::move(done)](NetResult<std::string> result) {
                                    if (result) {
                                        done(std::move(*result));
                                    } else {
                                        done(Unexpected(userMessage(result.error())));
                                    }
                                });
    };
    services.showBanner = [](Severity severity, std::string_view title, std::string_view message) {
        ToastController::shared().showBanner(severity, title, message);
    };
    return services;
}

} // namespace velloq::editor
