#include "app/settings/SettingBindings.h"
#include "app/settings/SettingsPanes.h"
#include "app/settings/ToggleSwitch.h"
#include "settings/Settings.h"

namespace velloq {
namespace {

class CapturePane final : public PaneView {
public:
    explicit CapturePane(const SettingsServices& services)
        : PaneView(QStringLiteral("Capture")), bindings_(services.showBanner) {
        addSection()->addRow(
            formRow(QStringLiteral("Open Markup editor before upload"),
                    bindings_.toggle(settings::editBeforeUploadKey, settings::editBeforeUpload),
                    QStringLiteral("Edit your shot before sharing. Off = upload immediately.")));
    }

    void shown() override { bindings_.refresh(); }

private:
    SettingBindings bindings_;
};

} // namespace

PaneView* makeCapturePane(const SettingsServices& services) {
    return new CapturePane(services);
}

} // namespace velloq
