#pragma once

// A settings window on Qt's offscreen platform, over fake services except
// the defaults store: a real settings file in a private folder, so a test
// sees what a reader elsewhere would read.

#include "app/settings/SettingsView.h"
#include "fakes/FakePlatform.h"
#include "fakes/QtApp.h"
#include "fakes/TempDir.h"
#include "platform/json/JsonDefaultsStore.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <tuple>
#include <vector>

namespace velloq::testing {

class SettingsFixture : public ::testing::Test {
protected:
    SettingsFixture() {
        qtApp();
        auto services = platform::installed();
        services.defaults = &store;
        platform::install(services);
        settingsServices.showBanner = [this](Severity severity, std::string_view title,
                                             std::string_view message) {
            banners.emplace_back(severity, std::string(title), std::string(message));
        };
        settingsServices.microphoneNames = [this](auto done) { done(microphones); };
        settingsServices.checkForUpdates = [this](auto done) { checks.push_back(done); };
        settingsServices.autostartFile = dir.path() / "config" / "autostart" / "velloq.desktop";
        settingsServices.program = "/usr/bin/velloq";
    }

    // Opens the window on `pane`, as the user would.
    SettingsView& open(Pane pane = Pane::general) {
        view = std::make_unique<SettingsView>(settingsServices);
        view->show();
        view->select(pane);
        return *view;
    }

    template <class Widget> Widget* control(const char* name) const {
        auto* found = view->findChild<Widget*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // Saves the window as VELLOQ_SHOTS_DIR/offscreen-NAME.png when that is set,
    // for looking at it by eye.
    void snapshot(const QString& name) const {
        if (const char* folder = std::getenv("VELLOQ_SHOTS_DIR")) {
            view->grab().save(QStringLiteral("%1/offscreen-%2.png").arg(folder, name));
        }
    }

    // The settings file as stored on disk.
    nlohmann::json file() const {
        return nlohmann::json::parse(fileContents(store.path()), nullptr, false);
    }

    FakePlatform fakes;
    TempDir dir;
    platform::JsonDefaultsStore store{dir.path() / "velloq" / "settings.json"};
    SettingsServices settingsServices;
    std::vector<std::string> microphones;
    std::vector<std::function<void(UpdateCheck::Result)>> checks;
    std::vector<std::tuple<Severity, std::string, std::string>> banners;
    std::unique_ptr<SettingsView> view;
};

} // namespace velloq::testing
