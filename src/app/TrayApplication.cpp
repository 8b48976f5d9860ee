#include "app/TrayApplication.h"

#include "app/AppDelegate.h"
#include "app/BeginCapture.h"
#include "app/InstanceChannel.h"
#include "app/LinuxPlatform.h"
#include "app/PermissionsModel.h"
#include "app/ProductRoutes.h"
#include "app/QuitOnSignal.h"
#include "app/RecordingWiring.h"
#include "app/settings/SettingsServices.h"
#include "app/TrayIcon.h"
#include "net/StatusService.h"
#include "net/TaskPool.h"
#include "platform/Platform.h"
#include "platform/pulse/PulseMicrophones.h"
#include "recording/RecordingController.h"

#include <QApplication>

namespace velloq {

int runTrayApplication(int& argc, char** argv, LinuxPlatform& platform,
                       std::optional<InstanceRequest> atStart) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velloq"));
    QApplication::setDesktopFileName(QStringLiteral("dev.ordwin.velloq"));
    // A tray utility keeps running when its last window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    platform.attachApplication(&app);
    quitOnTerminationSignals(&app);

    wireProductRoutes();
    RecordingWiring recording;
    AppDelegate delegate;
    delegate.startHealthProbe = [] { StatusService::shared().start(); };
    delegate.captureAction = [] { beginCapture(); };
    delegate.recordAction = [] { recording::RecordingController::shared().beginRecordFlow(); };
    if (!delegate.applicationDidFinishLaunching()) {
        return 0;
    }
    // `velloq gui` from a key binding or a desktop action reaches us here.
    const auto answer = [&delegate](InstanceRequest request) {
        if (request == InstanceRequest::record) {
            delegate.recordAction();
        } else {
            delegate.captureAction();
        }
    };
    InstanceChannel channel;
    if (!channel.listen(answer)) {
        logLine("Velloq: could not open the local request socket");
    }
    if (atStart) {
        platform::mainQueue().post([answer, request = *atStart] { answer(request); });
    }
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&delegate, &recording] {
        recording.applicationWillTerminate();
        delegate.applicationWillTerminate();
    });
    // Permissions changed in the desktop's settings show up when the user comes
    // back. Every capture overlay activates the app, so the checks stay off
    // the main thread, where they would hold up the overlay's first paint.
    QObject::connect(
        &app, &QGuiApplication::applicationStateChanged, [](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive) {
                PermissionsModel::shared().refreshInBackground([](std::function<void()> check) {
                    TaskPool::shared().submit(std::move(check));
                });
            }
        });

    // The settings window lists these; they outlive the workers that ask them.
    const auto microphones = platform::makePulseMicrophones();
    useMicrophones(microphones.get());

    TrayIcon tray;
    tray.show();
    const int status = QApplication::exec();
    // Workers may still post to the main loop or touch the toolkit: stop them
    // while both are alive.
    platform.stopWorkers();
    useMicrophones(nullptr);
    return status;
}

} // namespace velloq
