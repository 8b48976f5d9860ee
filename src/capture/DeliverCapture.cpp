#include "capture/DeliverCapture.h"

#include "platform/Log.h"
#include "platform/Platform.h"
#include "settings/Settings.h"
#include "settings/UserFolders.h"

#include <ctime>
#include <span>

namespace velloq::capture {
namespace {

// A screenshot whose upload failed is kept where the user keeps pictures;
// the sentence says where, or is empty when even that failed.
std::string keepFailedUpload(const QByteArray& png) {
    const auto folder = settings::userFolder(settings::UserFolder::pictures) / "Velloq";
    std::error_code ignored; // a folder we cannot make shows up as a failed write
    std::filesystem::create_directories(folder, ignored);
    const auto path = settings::datedPath(folder, "png", std::time(nullptr));
    const auto bytes =
        std::as_bytes(std::span(png.constData(), static_cast<std::size_t>(png.size())));
    if (!platform::files().write(path, bytes)) {
        logLine("Velloq: could not keep the screenshot at " + path.string());
        return {};
    }
    logLine("Velloq: kept the screenshot at " + path.string());
    return " The screenshot was kept in " + settings::homeRelative(folder) + ".";
}

} // namespace

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
            routes.showBanner(Severity::error, "Velloq",
                              result.error() + keepFailedUpload(cardBytes));
            return;
        }
        platform::clipboard().setText(*result);
        routes.showCard(*result, shown, cardBytes);
    });
}

} // namespace velloq::capture
