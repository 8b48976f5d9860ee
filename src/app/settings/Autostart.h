#pragma once

// Starting Velloq when the user logs in, the XDG way: a desktop entry in
// $XDG_CONFIG_HOME/autostart. The file's presence is the setting.

#include "common/Expected.h"

#include <filesystem>
#include <string>

namespace velloq {

enum class AutostartError {
    unwritable, // the folder or file could not be written or removed
    unquotable, // the program's path cannot be written in a desktop entry
};

// $XDG_CONFIG_HOME/autostart/velloq.desktop; ~/.config when the variable is
// unset, empty or not absolute.
std::filesystem::path autostartFile();

bool autostartEnabled(const std::filesystem::path& file);

// The desktop entry that starts `program` in the tray.
Expected<std::string, AutostartError> autostartEntry(const std::filesystem::path& program);

// Writes the entry (atomically, creating the folder) or removes the file.
Expected<void, AutostartError> setAutostart(const std::filesystem::path& file, bool enabled,
                                            const std::filesystem::path& program);

} // namespace velloq
