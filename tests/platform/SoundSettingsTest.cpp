#include "platform/qt/SoundSettings.h"

#include "fakes/TempDir.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <stdlib.h>
#include <thread>

namespace velloq::platform {
namespace {

TEST(SoundSettings, TheDesktopsOwnPanelFirstThenWhateverIsInstalled) {
    using Command = std::vector<std::string>;
    const struct {
        const char* desktop;
        std::set<std::string> installed;
        Command expected;
    } cases[] = {
        {"ubuntu:GNOME",
         {"pavucontrol", "gnome-control-center"},
         {"gnome-control-center", "sound"}},
        {"KDE", {"pavucontrol", "kcmshell5"}, {"kcmshell5", "kcm_pulseaudio"}},
        {"KDE", {"pavucontrol", "systemsettings", "kcmshell6"}, {"kcmshell6", "kcm_pulseaudio"}},
        {"XFCE", {"gnome-control-center", "pavucontrol"}, {"pavucontrol", "--tab=4"}},
        {"", {"kcmshell6"}, {"kcmshell6", "kcm_pulseaudio"}},
        {"GNOME-Flashback:GNOMEX",
         {"gnome-control-center", "pavucontrol"},
         {"pavucontrol", "--tab=4"}},
        {"GNOME", {}, {}},
    };
    for (const auto& c : cases) {
        const auto picked = pickSoundSettings(
            c.desktop, [&](const std::string& program) { return c.installed.contains(program); });
        EXPECT_EQ(picked, c.expected) << c.desktop;
    }
}

// The real launcher, with a PATH holding only what the test puts there.
TEST(SoundSettings, StartsTheInstalledProgramOrSaysNoneIs) {
    testing::TempDir bin;
    const char* previous = std::getenv("PATH");
    const std::string savedPath = previous != nullptr ? previous : "";
    ::setenv("PATH", bin.path().c_str(), 1);
    ::setenv("XDG_CURRENT_DESKTOP", "XFCE", 1);
    auto none = openSoundSettings();
    ASSERT_FALSE(none.has_value());
    EXPECT_EQ(none.error(), SoundSettingsError::notInstalled);

    const auto script = bin.path() / "pavucontrol";
    const auto record = bin.path() / "arguments";
    std::ofstream(script) << "#!/bin/sh\necho \"$@\" > " << record.string() << ".tmp && /bin/mv "
                          << record.string() << ".tmp " << record.string() << "\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    EXPECT_TRUE(openSoundSettings().has_value());
    for (int i = 0; i < 200 && !std::filesystem::exists(record); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(testing::fileContents(record), "--tab=4\n");
    ::setenv("PATH", savedPath.c_str(), 1);
    ::unsetenv("XDG_CURRENT_DESKTOP");
}

} // namespace
} // namespace velloq::platform
