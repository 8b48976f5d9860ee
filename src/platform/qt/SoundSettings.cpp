#include "platform/qt/SoundSettings.h"

#include <cstdlib>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace velloq::platform {
namespace {

// pavucontrol's fourth tab lists the input devices.
const std::vector<std::string> pavucontrol{"pavucontrol", "--tab=4"};
const std::vector<std::string> gnome{"gnome-control-center", "sound"};
const std::vector<std::string> kde6{"kcmshell6", "kcm_pulseaudio"};
const std::vector<std::string> kde5{"kcmshell5", "kcm_pulseaudio"};
const std::vector<std::string> kdeSystemSettings{"systemsettings", "kcm_pulseaudio"};

bool names(std::string_view desktop, std::string_view wanted) {
    std::size_t start = 0;
    while (start <= desktop.size()) {
        const std::size_t end = std::min(desktop.find(':', start), desktop.size());
        if (desktop.substr(start, end - start) == wanted) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

} // namespace

std::vector<std::vector<std::string>> soundSettingsCommands(std::string_view desktop) {
    if (names(desktop, "GNOME") || names(desktop, "Unity")) {
        return {gnome, pavucontrol, kde6, kde5, kdeSystemSettings};
    }
    if (names(desktop, "KDE")) {
        return {kde6, kde5, kdeSystemSettings, pavucontrol, gnome};
    }
    return {pavucontrol, gnome, kde6, kde5, kdeSystemSettings};
}

std::vector<std::string>
pickSoundSettings(std::string_view desktop,
                  const std::function<bool(const std::string&)>& installed) {
    for (auto& command : soundSettingsCommands(desktop)) {
        if (installed(command.front())) {
            return command;
        }
    }
    return {};
}

Expected<void, SoundSettingsError> openSoundSettings() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    const auto command =
        pickSoundSettings(desktop != nullptr ? desktop : "", [](const std::string& program) {
            return !QStandardPaths::findExecutable(QString::fromStdString(program)).isEmpty();
        });
    if (command.empty()) {
        return Unexpected(SoundSettingsError::notInstalled);
    }
    QStringList arguments;
    for (std::size_t i = 1; i < command.size(); ++i) {
        arguments << QString::fromStdString(command[i]);
    }
    if (!QProcess::startDetached(QString::fromStdString(command.front()), arguments)) {
        return Unexpected(SoundSettingsError::launchFailed);
    }
    return {};
}

} // namespace velloq::platform
