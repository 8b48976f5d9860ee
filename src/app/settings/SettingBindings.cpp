#include "app/settings/SettingBindings.h"

#include "app/settings/SegmentedPicker.h"
#include "app/settings/ToggleSwitch.h"
#include "platform/Platform.h"

#include <QSignalBlocker>

namespace velloq {

ToggleSwitch* SettingBindings::toggle(std::string_view key, BoolReader read) {
    auto* control = new ToggleSwitch;
    control->setObjectName(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())));
    QObject::connect(control, &ToggleSwitch::toggled,
                     [this, key](bool on) { write(key, nlohmann::json(on)); });
    onRefresh([control, read] {
        const QSignalBlocker quiet(control);
        control->setChecked(read(platform::defaults()));
    });
    return control;
}

void SettingBindings::bind(SegmentedPicker* picker, std::string_view key,
                           std::vector<nlohmann::json> values,
                           std::function<int(const platform::DefaultsStore&)> current) {
    picker->onSelect = [this, key, values = std::move(values)](int index) {
        if (index >= 0 && static_cast<std::size_t>(index) < values.size()) {
            write(key, values[static_cast<std::size_t>(index)]);
        }
    };
    onRefresh([picker, current = std::move(current)] {
        picker->setSelected(current(platform::defaults()));
    });
}

bool SettingBindings::write(std::string_view key, const nlohmann::json& value) {
    if (platform::defaults().set(key, value)) {
        return true;
    }
    // The store has logged why; the control must not claim a value that is not stored.
    refresh();
    if (banner_) {
        banner_(Severity::error, "Velloq", "Couldn't save the setting.");
    }
    return false;
}

void SettingBindings::refresh() const {
    for (const auto& refresh : refreshers_) {
        refresh();
    }
}

} // namespace velloq
