#include "app/TrayIcon.h"

#include "app/panel/PanelPopup.h"
#include "app/panel/TrayMenu.h"
#include "net/StatusService.h"
#include "ui/BrandMark.h"
#include "ui/Theme.h"

namespace velloq {

TrayIcon::TrayIcon() : menu_(std::make_unique<QMenu>()) {
    // Tray panels come light or dark. The installed symbolic icon lets the
    // desktop recolour the mark to suit its panel; elsewhere the painted mark
    // takes the brand colour, which reads on both.
    icon_.setIcon(QIcon::fromTheme(QStringLiteral("dev.ordwin.velloq-symbolic"),
                                   BrandMark::icon(18, 1.9, Theme::coral())));
    icon_.setToolTip(QStringLiteral("Velloq"));

    const PanelActions actions = productPanelActions();
    buildTrayMenu(*menu_, actions);
    icon_.setContextMenu(menu_.get());
    popup_ = std::make_unique<PanelPopup>(StatusService::shared(), actions);
    QObject::connect(&icon_, &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         if (reason == QSystemTrayIcon::Trigger) {
                             // Empty where the tray does not say where the icon is.
                             popup_->toggle(icon_.geometry());
                         }
                     });
}

TrayIcon::~TrayIcon() = default;

} // namespace velloq
