#pragma once

// The system-wide key combinations: Control+Super+U captures, Control+Super+R
// records. Registration is one-shot: a combination another client holds is
// logged once and not retried while the process runs.

#include "platform/Hotkeys.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace velloq {

class HotkeyService {
public:
    using Action = std::function<void()>;
    enum class ID : std::uint32_t { capture = 1, record = 2 };

    static HotkeyService& shared();

    // Registers the capture combination and, when an action is given, the
    // record one. Entries already present keep their first action.
    void registerHotkeys(Action capture, Action record = {});
    void registerHotkey(ID id, char letter, Action action);
    // Releases every combination and forgets every entry.
    void unregisterAll();

    [[nodiscard]] bool hasEntry(ID id) const { return hotKeys_.contains(id); }
    [[nodiscard]] std::size_t entryCount() const { return hotKeys_.size(); }

private:
    struct Entry {
        std::optional<platform::HotkeyHandle> handle; // none when registration failed
        Action action;
    };
    void handlePress(ID id);

    std::map<ID, Entry> hotKeys_;
};

[[nodiscard]] const char* caseName(HotkeyService::ID id);

} // namespace velloq
