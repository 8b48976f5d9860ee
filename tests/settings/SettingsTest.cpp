#include "settings/Settings.h"

#include "fakes/FakeServices.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace settings = velloq::settings;
using velloq::testing::MemoryDefaultsStore;

namespace {

using BoolReader = bool (*)(const velloq::platform::DefaultsStore&);

struct Switch {
    std::string_view key;
    BoolReader read;
};

const Switch switchesOnByDefault[] = {
    {settings::editBeforeUploadKey, settings::editBeforeUpload},
    {settings::playSoundKey, settings::playSound},
    {settings::recordMicOnKey, settings::recordMicOn},
    {settings::recordShowCursorKey, settings::recordShowCursor},
    {settings::recordHighlightClicksKey, settings::recordHighlightClicks},
    {settings::recordCountdownKey, settings::recordCountdown},
};

} // namespace

TEST(Settings, SwitchesOnByDefaultTurnOffOnlyForAStoredFalse) {
    for (const auto& entry : switchesOnByDefault) {
        MemoryDefaultsStore store;
        EXPECT_TRUE(store.set(entry.key, false));
        EXPECT_FALSE(entry.read(store)) << entry.key;
        EXPECT_TRUE(store.set(entry.key, true));
        EXPECT_TRUE(entry.read(store)) << entry.key;
        // Wrong types read as missing: the default, even when they look false.
        for (const auto& wrong :
             {nlohmann::json(0), nlohmann::json("false"), nlohmann::json(nullptr)}) {
            EXPECT_TRUE(store.set(entry.key, wrong));
            EXPECT_TRUE(entry.read(store)) << entry.key << " = " << wrong.dump();
        }
    }
}

// Unlike the switches above, a number counts: the plain getter, whose cases
// DefaultsStoreGetters covers.
TEST(Settings, OpenInBrowserUsesThePlainBooleanGetter) {
    MemoryDefaultsStore store;
    EXPECT_FALSE(settings::recordOpenInBrowser(store));
    EXPECT_TRUE(store.set(settings::recordOpenInBrowserKey, 1));
    EXPECT_TRUE(settings::recordOpenInBrowser(store));
}

TEST(Settings, FrameRateNeedsAnInteger) {
    MemoryDefaultsStore store;
    EXPECT_TRUE(store.set(settings::recordFrameRateKey, 60));
    EXPECT_EQ(settings::recordFrameRate(store), 60);
    const nlohmann::json notIntegers[] = {"60",          60.0,         59.94,
                                          true,          nullptr,      nlohmann::json::array({60}),
                                          4294967356ull, -4294967296ll};
    for (const auto& value : notIntegers) {
        EXPECT_TRUE(store.set(settings::recordFrameRateKey, value));
        EXPECT_EQ(settings::recordFrameRate(store), 30) << value.dump();
    }
}

TEST(Settings, ResolutionMapsToAHeightCap) {
    MemoryDefaultsStore store;
    const std::pair<nlohmann::json, std::optional<int>> cases[] = {
        {"720p", 720},        {"1080p", 1080},    {"Source", std::nullopt},
        {"4K", std::nullopt}, {"", std::nullopt}, {"720P", std::nullopt},
        {720, 1080}, // not a string: reads as missing, so the default applies
    };
    for (const auto& [stored, cap] : cases) {
        EXPECT_TRUE(store.set(settings::recordResolutionKey, stored));
        EXPECT_EQ(settings::recordHeightCap(store), cap) << stored.dump();
    }
}
