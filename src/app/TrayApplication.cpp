#include "app/TrayApplication.h"

#include "app/AppDelegate.h"
#include "app/BeginCapture.h"
#include "app/InstanceChannel.h"
#include "app/LinuxPlatform.h"
#include "app/PermissionsModel.h"
#include "app/ProductRoutes.h"
#include "app/QuitOnSignal.h"
#include "app/RecordingWiring.h"
#include "app/TrayIcon.h"
#include "net/StatusService.h"
#include "platform/Platform.h"
#include "recording/RecordingController.h"

#include <QApplication>

namespace velloq {

int runTrayApplication(int& argc, char** argv, LinuxPlatform& platform, bool captureAtStart) {
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
    // `velloq gui` from a key binding of the desktop reaches us here.
    InstanceChannel channel;
    if (!channel.listen([] { beginCapture(); })) {
        logLine("Velloq: could not open the local request socket");
    }
    if (captureAtStart) {
        platform::mainQueue().post([] { beginCapture(); });
    }
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&delegate, &recording] {
        recording.applicationWillTerminate();
        delegate.applicationWillTerminate();
    });
    // Permissions changed in the desktop's settings show up when the user comes back.
    QObject::connect(&app, &QGuiApplication::applicationStateChanged,
                     [](Qt::ApplicationState state) {
                         if (state == Qt::ApplicationActive) {
                             PermissionsModel::shared().refresh();
                         }
                     });

    TrayIcon tray;
    tray.show();
    const int status = QApplication::exec();
    // Workers may still post to the main loop or touch the toolkit: stop them
    // while both are alive.
    platform.stopWorkers();
    return status;
}

} // namespace velloq
