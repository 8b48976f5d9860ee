#pragma once

// Controls bound to settings keys: each writes straight through to the
// defaults store when the user changes it, and shows what the key's reader
// sees whenever its pane is shown. A write that fails puts the control back
// to what is stored and says so in a banner.

#include "app/settings/UpdateFlow.h"
#include "platform/DefaultsStore.h"

#include <functional>
#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

namespace velloq {

class SegmentedPicker;
class ToggleSwitch;

class SettingBindings {
public:
    using BoolReader = bool (*)(const platform::DefaultsStore&);

    explicit SettingBindings(UpdateFlow::Banner banner) : banner_(std::move(banner)) {}

    // A switch named after `key`, reading through `read`.
    ToggleSwitch* toggle(std::string_view key, BoolReader read);
    // `values[i]` is stored when option i is chosen; `current` picks the
    // option to highlight from the store (-1 for none).
    void bind(SegmentedPicker* picker, std::string_view key, std::vector<nlohmann::json> values,
              std::function<int(const platform::DefaultsStore&)> current);
    // Anything else that shows stored state.
    void onRefresh(std::function<void()> refresh) { refreshers_.push_back(std::move(refresh)); }

    // Writes `value`; on failure refreshes every control and reports it.
    bool write(std::string_view key, const nlohmann::json& value);
    void refresh() const;

private:
    UpdateFlow::Banner banner_;
    std::vector<std::function<void()>> refreshers_;
};

} // namespace velloq
