#include "app/AppDelegate.h"

#include "app/HotkeyService.h"
#include "app/PermissionsModel.h"
#include "platform/Platform.h"

namespace velloq {

bool AppDelegate::applicationDidFinishLaunching() {
    auto& application = platform::application();
    if (!application.claimSingleInstance()) {
        logLine("Velloq: another instance is already running; quitting");
        application.terminate();
        return false;
    }

    auto& model = PermissionsModel::shared();
    if (!platform::permissions().screenRecording()) {
        platform::permissions().requestScreenRecording();
    }
    model.refresh();
    if (startHealthProbe) {
        startHealthProbe();
    }

    HotkeyService::shared().registerHotkeys(captureAction, recordAction);
    return true;
}

// Global hotkeys are the only thing released at quit; everything else ends
// with the process.
void AppDelegate::applicationWillTerminate() {
    HotkeyService::shared().unregisterAll();
}

} // namespace velloq
