#include "app/HotkeyService.h"

#include "platform/Log.h"
#include "platform/Platform.h"

#include <string>

namespace velloq {

HotkeyService& HotkeyService::shared() {
    // Shared instances live until the process ends, like the widgets they own.
    static auto* instance = new HotkeyService;
    return *instance;
}

const char* caseName(HotkeyService::ID id) {
    return id == HotkeyService::ID::capture ? "capture" : "record";
}

void HotkeyService::registerHotkeys(Action capture, Action record) {
    registerHotkey(ID::capture, 'U', std::move(capture));
    if (record) {
        registerHotkey(ID::record, 'R', std::move(record));
    }
}

void HotkeyService::registerHotkey(ID id, char letter, Action action) {
    if (hotKeys_.contains(id)) {
        return;
    }
    // The service lives for the whole process, so the press callback may
    // refer to it directly.
    auto grabbed = platform::hotkeys().grab({letter}, [this, id] { handlePress(id); });
    Entry entry{std::nullopt, std::move(action)};
    if (grabbed) {
        entry.handle = *grabbed;
    } else {
        logLine(std::string("Velloq: hotkey ") + caseName(id) +
                " registration failed status=" + std::to_string(grabbed.error()));
    }
    hotKeys_.emplace(id, std::move(entry));
}

void HotkeyService::handlePress(ID id) {
    const auto found = hotKeys_.find(id);
    if (found == hotKeys_.end() || !found->second.action) {
        return;
    }
    // A copy, so the action may unregister everything while it runs.
    const Action action = found->second.action;
    action();
}

void HotkeyService::unregisterAll() {
    for (const auto& [id, entry] : hotKeys_) {
        if (entry.handle) {
            platform::hotkeys().release(*entry.handle);
        }
    }
    hotKeys_.clear();
}

} // namespace velloq
