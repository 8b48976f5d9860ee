#include "app/settings/Autostart.h"

#include "platform/Platform.h"

#include <cstdlib>
#include <span>
#include <system_error>

namespace velloq {
namespace {

// A desktop entry's Exec argument: quoted, with the characters that are
// special inside quotes escaped, and "%" doubled so it is no field code.
std::optional<std::string> execArgument(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        // A line break would end the key and start another.
        if (c == '\n' || c == '\r' || c == '\0') {
            return std::nullopt;
        }
        // The quoting rule escapes these with a backslash, and the string rule
        // then doubles every backslash: `"` is written \\" and `\` four times.
        if (c == '\\') {
            quoted += R"(\\\\)";
            continue;
        }
        if (c == '"' || c == '`' || c == '$') {
            quoted += R"(\\)";
        }
        if (c == '%') {
            quoted += '%';
        }
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

std::filesystem::path autostartFile() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path base;
    if (config != nullptr && std::filesystem::path(config).is_absolute()) {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home != nullptr ? home : "") / ".config";
    }
    return base / "autostart" / "velloq.desktop";
}

bool autostartEnabled(const std::filesystem::path& file) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(file, ignored);
}

Expected<std::string, AutostartError> autostartEntry(const std::filesystem::path& program) {
    const auto exec = execArgument(program.string());
    if (!exec) {
        return Unexpected(AutostartError::unquotable);
    }
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Velloq\n"
           "Comment=Screenshots and screen recordings shared as links\n"
           "Exec=" +
           *exec +
           "\n"
           "Icon=dev.ordwin.velloq\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

Expected<void, AutostartError> setAutostart(const std::filesystem::path& file, bool enabled,
                                            const std::filesystem::path& program) {
    if (!enabled) {
        if (!platform::files().remove(file)) {
            return Unexpected(AutostartError::unwritable);
        }
        return {};
    }
    auto entry = autostartEntry(program);
    if (!entry) {
        return Unexpected(entry.error());
    }
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) {
        return Unexpected(AutostartError::unwritable);
    }
    const auto bytes = std::as_bytes(std::span(entry->data(), entry->size()));
    if (!platform::files().write(file, bytes)) {
        return Unexpected(AutostartError::unwritable);
    }
    return {};
}

} // namespace velloq
