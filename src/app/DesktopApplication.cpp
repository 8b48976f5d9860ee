#include "app/DesktopApplication.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMetaObject>
#include <QUrl>

namespace velloq {

DesktopApplication::DesktopApplication(std::filesystem::path lockFile)
    : lock_(std::move(lockFile)) {}

bool DesktopApplication::claimSingleInstance() {
    return lock_.tryAcquire();
}

void DesktopApplication::terminate() {
    // Queued, so that quitting during launch (before the event loop runs) still quits.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

void DesktopApplication::openWindow(std::string_view id) {
    windows_.open(id);
}

void DesktopApplication::openURL(std::string_view url) {
    QDesktopServices::openUrl(
        QUrl(QString::fromUtf8(url.data(), static_cast<qsizetype>(url.size())), QUrl::StrictMode));
}

} // namespace velloq
