#include "app/TrayIcon.h"

#include "app/BeginCapture.h"
#include "platform/Platform.h"
#include "recording/RecordingController.h"
#include "ui/BrandMark.h"
#include "ui/Theme.h"

namespace velloq {

TrayIcon::TrayIcon() : menu_(std::make_unique<QMenu>()) {
    // Tray panels come light or dark and Linux offers no template images, so
    // the mark takes the brand colour, which reads on both.
    icon_.setIcon(BrandMark::icon(18, 1.9, Theme::coral()));
    icon_.setToolTip(QStringLiteral("Velloq"));

    menu_->addAction(QStringLiteral("Capture"), QKeySequence(QStringLiteral("Ctrl+Meta+U")),
                     [] { beginCapture(); });
    menu_->addAction(QStringLiteral("Record screen"), QKeySequence(QStringLiteral("Ctrl+Meta+R")),
                     [] { recording::RecordingController::shared().beginRecordFlow(); });
    menu_->addSeparator();
    menu_->addAction(QString::fromUtf8("Settings\u2026"), QKeySequence(QStringLiteral("Ctrl+,")),
                     [] { platform::application().openWindow("settings"); });
    menu_->addAction(QString::fromUtf8("Permissions\u2026"),
                     [] { platform::application().openWindow("permissions"); });
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("Quit Velloq"), QKeySequence(QStringLiteral("Ctrl+Q")),
                     [] { platform::application().terminate(); });
    icon_.setContextMenu(menu_.get());
}

} // namespace velloq
