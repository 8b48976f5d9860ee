#include "app/settings/SettingsServices.h"

#include "app/settings/Autostart.h"
#include "feedback/ToastController.h"
#include "net/Background.h"
#include "recording/MicMonitor.h"

#include <atomic>
#include <QCoreApplication>

#ifndef VELLOQ_VERSION
#define VELLOQ_VERSION ""
#endif
#ifndef VELLOQ_BUILD_NUMBER
#define VELLOQ_BUILD_NUMBER ""
#endif

namespace velloq {
namespace {

std::atomic<platform::Microphones*> productMicrophones{nullptr};

std::optional<std::string> nonEmpty(std::string_view text) {
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

} // namespace

void useMicrophones(platform::Microphones* microphones) {
    productMicrophones = microphones;
}

std::string versionLine(const std::optional<std::string>& version,
                        const std::optional<std::string>& build) {
    return "Version " + version.value_or("?") + " (build " + build.value_or("?") + ")";
}

SettingsServices productSettingsServices() {
    SettingsServices services;
    services.microphoneNames = [](std::function<void(std::vector<std::string>)> done) {
        platform::Microphones* microphones = productMicrophones;
        if (microphones == nullptr) {
            done({});
            return;
        }
        // Asking the sound server may take a moment; the window does not wait for it.
        inBackground(
            [microphones] {
                std::vector<std::string> names;
                for (auto& device : recording::listMicrophones(*microphones).devices) {
                    names.push_back(std::move(device.name));
                }
                return names;
            },
            std::move(done));
    };
    services.checkForUpdates = [](std::function<void(UpdateCheck::Result)> done) {
        inBackground([] { return UpdateCheck::checkForUpdates(platform::http()); },
                     std::move(done));
    };
    services.showBanner = [](Severity severity, std::string_view title, std::string_view message) {
        ToastController::shared().showBanner(severity, title, message);
    };
    services.autostartFile = autostartFile();
    services.program = QCoreApplication::applicationFilePath().toStdString();
    services.version = nonEmpty(VELLOQ_VERSION);
    services.build = nonEmpty(VELLOQ_BUILD_NUMBER);
    return services;
}

} // namespace velloq
