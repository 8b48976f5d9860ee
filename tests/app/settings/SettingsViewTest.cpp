#include "app/settings/SegmentedPicker.h"
#include "app/settings/ToggleSwitch.h"
#include "settings/Settings.h"
#include "SettingsFixture.h"

#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolButton>

using namespace velloq;
using namespace velloq::testing;

namespace {

using SettingsViewTest = SettingsFixture;

struct Switch {
    Pane pane;
    const char* key;
    bool (*read)(const platform::DefaultsStore&);
    bool byDefault;
};

const Switch switches[] = {
    {Pane::general, "playSound", settings::playSound, true},
    {Pane::capture, "editBeforeUpload", settings::editBeforeUpload, true},
    {Pane::video, "recordMicOn", settings::recordMicOn, true},
    {Pane::video, "recordShowCursor", settings::recordShowCursor, true},
    {Pane::video, "recordHighlightClicks", settings::recordHighlightClicks, true},
    {Pane::video, "recordCountdown", settings::recordCountdown, true},
    {Pane::video, "recordOpenInBrowser", settings::recordOpenInBrowser, false},
};

// Clicks the middle of option `index` of the picker named `name`.
void choose(SegmentedPicker* picker, int index) {
    auto* buttons = picker->findChild<SegmentedControl*>();
    ASSERT_NE(buttons, nullptr);
    const int each = buttons->width() / int(buttons->options().size());
    QTest::mouseClick(buttons, Qt::LeftButton, {}, QPoint(each * index + each / 2, 8));
}

} // namespace

TEST_F(SettingsViewTest, EachSwitchShowsItsReadersDefaultAndWritesItsOwnKeyThroughAtOnce) {
    for (const auto& entry : switches) {
        SCOPED_TRACE(entry.key);
        open(entry.pane);
        auto* toggle = control<ToggleSwitch>(entry.key);
        ASSERT_NE(toggle, nullptr);
        EXPECT_EQ(toggle->isChecked(), entry.byDefault) << "an empty store shows the default";

        QTest::mouseClick(toggle, Qt::LeftButton);
        EXPECT_EQ(file()[entry.key], !entry.byDefault) << "written to the file";
        EXPECT_EQ(entry.read(store), !entry.byDefault) << "a reader sees it with no restart";
        EXPECT_EQ(file().size(), 1u) << "no other key written";
        QTest::mouseClick(toggle, Qt::LeftButton);
        EXPECT_EQ(entry.read(store), entry.byDefault);

        // A value stored elsewhere shows when the window opens again.
        ASSERT_TRUE(store.set(entry.key, !entry.byDefault));
        open(entry.pane);
        EXPECT_EQ(control<ToggleSwitch>(entry.key)->isChecked(), !entry.byDefault);
        ASSERT_TRUE(store.remove(entry.key));
    }
}

TEST_F(SettingsViewTest, QualityPickersStoreTheTextAndTheNumberTheRecorderReads) {
    ASSERT_TRUE(store.set("recordFrameRate", "60")); // a string reads as the default, 30
    open(Pane::video);
    auto* resolution = control<SegmentedPicker>("recordResolution");
    auto* frameRate = control<SegmentedPicker>("recordFrameRate");
    ASSERT_TRUE(resolution && frameRate);
    EXPECT_EQ(resolution->selected(), 1) << "1080p when nothing is stored";
    EXPECT_EQ(frameRate->selected(), 0);

    choose(resolution, 0);
    EXPECT_EQ(file()["recordResolution"], "720p");
    EXPECT_EQ(settings::recordHeightCap(store), 720);
    choose(resolution, 2);
    EXPECT_EQ(file()["recordResolution"], "Source");
    EXPECT_EQ(settings::recordHeightCap(store), std::nullopt);

    choose(frameRate, 1);
    EXPECT_TRUE(file()["recordFrameRate"].is_number_integer()) << "an integer, not text";
    EXPECT_EQ(settings::recordFrameRate(store), 60);

    // Text the picker does not offer highlights nothing rather than a wrong option.
    ASSERT_TRUE(store.set("recordResolution", "4K"));
    open(Pane::video);
    EXPECT_EQ(control<SegmentedPicker>("recordResolution")->selected(), -1);
}

TEST_F(SettingsViewTest, InputDeviceMenuOffersDefaultAndTheListedMicrophones) {
    open(Pane::video);
    auto* device = control<QToolButton>("recordMicDeviceName");
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->text(), "Default");
    ASSERT_EQ(device->menu()->actions().size(), 1) << "no microphones: Default alone";

    microphones = {"Built-in Audio", "USB Headset"};
    view->select(Pane::capture);
    view->select(Pane::video); // the list is asked for each time the pane shows
    const auto entries = device->menu()->actions();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[2]->text(), "USB Headset");
    EXPECT_TRUE(entries[0]->isChecked());

    entries[2]->trigger();
    EXPECT_EQ(settings::recordMicDeviceName(store), "USB Headset");
    EXPECT_EQ(device->text(), "USB Headset");
    EXPECT_TRUE(device->menu()->actions()[2]->isChecked());
    EXPECT_FALSE(device->menu()->actions()[0]->isChecked());

    device->menu()->actions()[0]->trigger();
    EXPECT_EQ(file()["recordMicDeviceName"], "") << "Default stores the empty text";
    EXPECT_EQ(device->text(), "Default");
}

TEST_F(SettingsViewTest, AnUnwritableSettingsFileLeavesTheSwitchShowingWhatIsStored) {
    // A folder where the file's folder should be cannot be made, even by root.
    std::ofstream(dir.path() / "blocker") << "x";
    platform::JsonDefaultsStore blocked(dir.path() / "blocker" / "settings.json");
    auto services = platform::installed();
    services.defaults = &blocked;
    platform::install(services);

    open(Pane::capture);
    auto* toggle = control<ToggleSwitch>("editBeforeUpload");
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_TRUE(toggle->isChecked()) << "the switch must not claim a value that is not stored";
    ASSERT_EQ(banners.size(), 1u);
    EXPECT_EQ(std::get<0>(banners[0]), Severity::error);
    EXPECT_EQ(std::get<1>(banners[0]), "Velloq");
}

TEST_F(SettingsViewTest, EveryPaneFitsTheWindowUnderItsTitle) {
    microphones = {"Built-in Audio"};
    open();
    for (const auto& info : allPanes) {
        view->select(info.pane);
        QCoreApplication::processEvents();
        PaneView* pane = view->pane(info.pane);
        EXPECT_EQ(view->selection(), info.pane);
        EXPECT_TRUE(pane->isVisible());
        const auto* title = pane->findChild<QLabel*>("paneTitle");
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->text().toStdString(), info.title);
        // Nothing runs off the side; a long pane scrolls down, never across.
        EXPECT_LE(pane->widget()->minimumSizeHint().width(), pane->viewport()->width())
            << info.title;
        snapshot(QString::fromUtf8(info.title.data(), int(info.title.size())));
    }
}
