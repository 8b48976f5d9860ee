#include "app/settings/Autostart.h"
#include "app/settings/ToggleSwitch.h"
#include "SettingsFixture.h"

#include <filesystem>
#include <QTest>
#include <sys/stat.h>

using namespace velloq;
using namespace velloq::testing;

namespace {

using SettingsAutostartTest = SettingsFixture;

// The Exec line of a desktop entry.
std::string execLine(const std::string& entry) {
    const auto at = entry.find("\nExec=");
    return at == std::string::npos ? "" : entry.substr(at + 6, entry.find('\n', at + 1) - at - 6);
}

} // namespace

TEST_F(SettingsAutostartTest, TheSwitchWritesAndRemovesTheEntryAndShowsWhetherItIsThere) {
    const auto& file = settingsServices.autostartFile;
    open();
    auto* toggle = control<ToggleSwitch>("autostart");
    EXPECT_FALSE(toggle->isChecked());

    QTest::mouseClick(toggle, Qt::LeftButton);
    ASSERT_TRUE(std::filesystem::is_regular_file(file)) << "the folder is made too";
    const std::string entry = fileContents(file);
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
    EXPECT_EQ(execLine(entry), "\"/usr/bin/velloq\"");
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0044, 0044u) << "readable by the session that starts it";

    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_FALSE(std::filesystem::exists(file));

    // Made or removed elsewhere: the window shows it when it opens.
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << "[Desktop Entry]\n";
    open();
    EXPECT_TRUE(control<ToggleSwitch>("autostart")->isChecked());
}

TEST_F(SettingsAutostartTest, AProgramPathIsQuotedSoTheDesktopRunsExactlyIt) {
    const struct {
        const char* path;
        const char* exec;
    } cases[] = {
        {"/opt/my apps/velloq", R"("/opt/my apps/velloq")"},
        {R"(/opt/a"b$c`d\e/velloq)", R"("/opt/a\\"b\\$c\\`d\\\\e/velloq")"},
        {"/opt/100%/velloq", R"("/opt/100%%/velloq")"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(execLine(autostartEntry(c.path).value()), c.exec) << c.path;
    }
    // A line break would smuggle in a key of its own.
    EXPECT_FALSE(autostartEntry("/opt/x\nExec=rm -rf ~/velloq"));
}

TEST_F(SettingsAutostartTest, AnEntryThatCannotBeWrittenLeavesTheSwitchOffWithABanner) {
    settingsServices.program = "/opt/x\nHidden=true/velloq";
    open();
    auto* toggle = control<ToggleSwitch>("autostart");
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_FALSE(std::filesystem::exists(settingsServices.autostartFile));
    ASSERT_EQ(banners.size(), 1u);
    EXPECT_EQ(std::get<0>(banners[0]), Severity::error);

    // The same for a failed write, and no stray temporary file either.
    settingsServices.program = "/usr/bin/velloq";
    fakes.files.failWrites = true;
    open();
    QTest::mouseClick(control<ToggleSwitch>("autostart"), Qt::LeftButton);
    EXPECT_FALSE(control<ToggleSwitch>("autostart")->isChecked());
    EXPECT_EQ(banners.size(), 2u);
}
