#include "app/BeginCapture.h"

#include "app/PermissionsModel.h"
#include "capture/CaptureOverlayController.h"
#include "platform/Log.h"
#include "platform/Platform.h"

namespace velloq {

void beginCapture() {
    beginCapture(capture::CaptureOverlayController::shared());
}

void beginCapture(capture::CaptureOverlayController& controller) {
    if (!platform::permissions().screenRecording()) {
        logLine("Velloq: capture hotkey pressed but Screen Recording not granted");
        platform::permissions().requestScreenRecording();
        PermissionsModel::shared().refresh();
        return;
    }
    if (controller.isShowing() || controller.isPreparing) {
        return;
    }
    controller.isPreparing = true;
    // Runs after this press returns; further presses meanwhile see the flag.
    platform::mainQueue().post([&controller] { controller.prepareAndPresent(); });
}

} // namespace velloq
