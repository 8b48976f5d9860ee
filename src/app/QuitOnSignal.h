#pragma once

// SIGTERM and SIGINT end the tray application through Qt's normal quit path,
// so the terminate sequence runs as it does for "Quit Velloq".

class QObject;

namespace velloq {

void quitOnTerminationSignals(QObject* application);

} // namespace velloq
