// The recording flow with hand-driven time: every transition of the state
// machine, the count-in, the elapsed clock across pauses, and the endings.

#include "recording/RecordingController.h"

#include "fakes/FakePlatform.h"
#include "fakes/TempDir.h"
#include "settings/Settings.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace velloq::recording {
namespace {

using namespace std::chrono_literals;
using S = RecordingState;

// An engine whose answers the test gives, panels that only record how they
// were shown, and an alert that answers at once.
class FakeEngine final : public RecordingEngine {
public:
    void start(const RecordingRequest& request,
               std::function<void(Expected<void, RecorderError>)> done) override {
        requests.push_back(request);
        startDone = std::move(done);
    }
    void pause() override { calls.push_back("pause"); }
    void resume() override { calls.push_back("resume"); }
    void stopRecorder(std::function<void(std::optional<std::filesystem::path>)> done) override {
        calls.push_back("stop");
        stopDone = std::move(done);
    }
    void finishUpload(const std::filesystem::path& file,
                      std::function<void(NetResult<std::string>)> done) override {
        calls.push_back("upload " + file.filename().string());
        uploadDone = std::move(done);
    }
    void discard(std::function<void()> done) override {
        calls.push_back("discard");
        discardDone = std::move(done);
    }
    void setOnSourceLost(std::function<void()> onLost) override { sourceLost = std::move(onLost); }

    std::vector<RecordingRequest> requests;
    std::vector<std::string> calls;
    std::function<void(Expected<void, RecorderError>)> startDone;
    std::function<void(std::optional<std::filesystem::path>)> stopDone;
    std::function<void(NetResult<std::string>)> uploadDone;
    std::function<void()> discardDone;
    std::function<void()> sourceLost;
};

struct PanelRecord {
    std::string kind;
    geometry::Size size{300, 50};
    std::vector<std::pair<geometry::Point, bool>> presented; // origin, took the keyboard
    bool open = true;
    std::function<void()> onEscape;
    PreRecordActions preRecord;
    RecordingBarActions bar;
};

class FakePanels final : public RecordingPanels {
public:
    struct Panel final : RecordingPanel {
        explicit Panel(std::shared_ptr<PanelRecord> r) : record(std::move(r)) {}
        ~Panel() override { record->open = false; }
        geometry::Size fittingSize() override { return record->size; }
        void present(geometry::Point origin, bool takeKeyboard) override {
            record->presented.emplace_back(origin, takeKeyboard);
        }
        std::shared_ptr<PanelRecord> record;
    };

    std::unique_ptr<RecordingPanel> preRecordBar(RecordingUIModel&, PreRecordActions actions,
                                                 std::function<void()> onEscape) override {
        auto panel = make("preRecord", std::move(onEscape));
        panel->record->preRecord = std::move(actions);
        return panel;
    }
    std::unique_ptr<RecordingPanel> countIn(RecordingUIModel&,
                                            std::function<void()> onEscape) override {
        return make("countIn", std::move(onEscape));
    }
    std::unique_ptr<RecordingPanel> recordingBar(RecordingUIModel&, RecordingBarActions actions,
                                                 std::function<void()> onEscape) override {
        auto panel = make("recording", std::move(onEscape));
        panel->record->bar = std::move(actions);
        return panel;
    }

    // The last panel of `kind` made, or null.
    std::shared_ptr<PanelRecord> last(const std::string& kind) const {
        const auto it = std::find_if(made.rbegin(), made.rend(),
                                     [&](const auto& record) { return record->kind == kind; });
        return it == made.rend() ? nullptr : *it;
    }
    bool anyOpen() const {
        return std::any_of(made.begin(), made.end(), [](const auto& r) { return r->open; });
    }

    std::vector<std::shared_ptr<PanelRecord>> made;

private:
    std::unique_ptr<Panel> make(std::string kind, std::function<void()> onEscape) {
        auto record = std::make_shared<PanelRecord>();
        record->kind = std::move(kind);
        record->onEscape = std::move(onEscape);
        made.push_back(record);
        return std::make_unique<Panel>(record);
    }
};

class FakeAlerts final : public platform::Alerts {
public:
    std::size_t run(const platform::AlertRequest& request) override {
        asked.push_back(request);
        if (duringAlert) {
            duringAlert();
        }
        return answer;
    }
    std::size_t answer = 0;
    std::function<void()> duringAlert;
    std::vector<platform::AlertRequest> asked;
};

struct Banner {
    Severity severity;
    std::string message;
};

// One controller with every fake it talks to.
struct Flow {
    Flow() {
        microphones.devices = {{"alsa.builtin", "Built-in"}, {"usb.mic", "USB Mic"}};
        microphones.defaultId = "usb.mic";
        RecordingDependencies d;
        d.engine = &engine;
        d.panels = &panels;
        d.clock = &fake.loop;
        d.mainQueue = &fake.loop;
        d.settings = &fake.defaults;
        d.alerts = &alerts;
        d.screens = [this] { return screens; };
        d.pointer = [this] { return pointer; };
        d.screenRecordingPermitted = [this] { return permitted; };
        d.requestScreenRecording = [this] { events.push_back("request screen"); };
        d.refreshPermissions = [this] { events.push_back("refresh"); };
        d.listMicrophones = [this] { return microphones; };
        d.startMicMonitor = [this](const std::string& id, std::function<void(double)> onLevel) {
            events.push_back("monitor " + id);
            level = std::move(onLevel);
        };
        d.stopMicMonitor = [this] { events.push_back("monitor off"); };
        d.micAuthorization = [this] { return micAccess; };
        d.openMicrophoneSettings = [this] { events.push_back("sound settings"); };
        d.beginSelection = [this](RecordingMode mode,
                                  std::function<void(ScreenRecorder::Target)> onCommit,
                                  std::function<void()> onCancel) {
            events.push_back(std::string("select ") + modeLabel(mode));
            commit = std::move(onCommit);
            cancel = std::move(onCancel);
        };
        d.startClickHighlighter = [this] { events.push_back("clicks on"); };
        d.showBanner = [this](Severity s, std::string_view title, std::string_view message) {
            EXPECT_EQ(title, "Velloq");
            banners.push_back({s, std::string(message)});
        };
        d.showVideoCard = [this](std::string url, std::optional<QImage>, std::string duration,
                                 std::optional<std::filesystem::path> file) {
            cards.push_back(url + " " + duration + " " + (file ? file->filename().string() : ""));
        };
        d.copyLink = [this](std::string_view text) { clipboard = text; };
        d.background = [](std::function<void()> work) { work(); };
        d.keepFolder = temp.path() / "kept";
        controller = std::make_unique<RecordingController>(std::move(d));
    }

    RecordingController& c() { return *controller; }
    void countInOff() { (void)fake.defaults.set(settings::recordCountdownKey, false); }
    void pressStart(RecordingMode mode) {
        c().model().setMode(mode);
        panels.last("preRecord")->preRecord.onStart();
    }
    // From idle to recording through the full-screen count-in.
    void record() {
        c().beginRecordFlow();
        pressStart(RecordingMode::full);
        fake.loop.advance(3s);
        engine.startDone({});
        fake.loop.runPending();
        ASSERT_EQ(c().state(), S::recording);
    }
    std::filesystem::path recordingFile() {
        auto file = temp.path() / "velloq-rec.mp4";
        std::ofstream(file) << "fMP4 bytes";
        return file;
    }

    testing::FakePlatform fake;
    testing::TempDir temp;
    FakeEngine engine;
    FakePanels panels;
    FakeAlerts alerts;
    std::vector<PanelScreen> screens{{{0, 0, 1000, 800}, {0, 40, 1000, 760}, 11},
                                     {{1000, 0, 800, 600}, {1000, 0, 800, 600}, 22}};
    std::optional<geometry::Point> pointer = geometry::Point{1200, 300};
    bool permitted = true;
    MicAuthorization micAccess = MicAuthorization::authorized;
    platform::MicrophoneList microphones;
    std::vector<std::string> events;
    std::function<void(double)> level;
    std::function<void(ScreenRecorder::Target)> commit;
    std::function<void()> cancel;
    std::vector<Banner> banners;
    std::vector<std::string> cards;
    std::string clipboard;
    std::unique_ptr<RecordingController> controller;
};

class RecordingControllerTest : public ::testing::Test, public Flow {};

TEST_F(RecordingControllerTest, TheRecordEntryActsOnlyWhenIdle) {
    const std::vector<std::pair<const char*, std::function<void(Flow&)>>> cases{
        {"selecting",
         [](auto& t) { t.c().beginRecordFlow(), t.pressStart(RecordingMode::region); }},
        {"countIn", [](auto& t) { t.c().beginRecordFlow(), t.pressStart(RecordingMode::full); }},
        {"recording", [](auto& t) { t.record(); }},
        {"paused", [](auto& t) { t.record(), t.c().setPaused(true); }},
        {"uploading", [](auto& t) { t.record(), t.c().stopRecording(); }},
        {"discarding", [](auto& t) { t.record(), t.c().discard(std::nullopt); }},
    };
    for (const auto& [name, reach] : cases) {
        Flow t;
        reach(t);
        const auto state = t.c().state();
        const auto made = t.panels.made.size();
        t.c().beginRecordFlow();
        EXPECT_EQ(t.c().state(), state) << name;
        EXPECT_EQ(t.panels.made.size(), made) << name << ": no new panel";
    }
}

TEST_F(RecordingControllerTest, WithoutScreenCaptureTheFlowOnlyAsks) {
    permitted = false;
    c().beginRecordFlow();
    EXPECT_EQ(c().state(), S::idle);
    EXPECT_TRUE(panels.made.empty());
    EXPECT_EQ(events, (std::vector<std::string>{"request screen", "refresh"}));
    EXPECT_EQ(fake.log.count("Velloq: record hotkey pressed but Screen Recording not granted"), 1u);
}

TEST_F(RecordingControllerTest, PreRecordBarOpensKeyedAtTheBottomCentreWithTheLevel) {
    c().beginRecordFlow();
    EXPECT_EQ(c().state(), S::preRecord);
    auto bar = panels.last("preRecord");
    ASSERT_EQ(bar->presented.size(), 1u);
    // Pointer on the second screen: centred on it, 22 above its visible bottom.
    EXPECT_EQ(bar->presented[0].first, (geometry::Point{1400 - 150, 22}));
    EXPECT_TRUE(bar->presented[0].second) << "takes the keyboard so Escape works";
    EXPECT_EQ(events.back(), "monitor usb.mic") << "the default source when nothing is saved";
    level(0.6);
    EXPECT_DOUBLE_EQ(c().model().micLevel(), 0.6);
    c().model().setMicOn(false);
    EXPECT_EQ(events.back(), "monitor off");
    EXPECT_EQ(c().model().micLevel(), 0);
    fake.loop.runPending();
    EXPECT_EQ(bar->presented.size(), 2u) << "re-fitted after the microphone changed";
}

TEST_F(RecordingControllerTest, SavedMicrophoneFallsBackToTheDefaultThenTheFirstThenOff) {
    struct Case {
        std::optional<std::string> saved;
        std::optional<std::string> defaultId;
        int expected;
    };
    for (const auto& [saved, defaultId, expected] : std::vector<Case>{
             {"Built-in", "usb.mic", 0},
             {"Unplugged", "usb.mic", 1},
             {"Unplugged", std::nullopt, 0},
             {"", "usb.mic", 1},
             {std::nullopt, "gone", 0},
         }) {
        microphones.defaultId = defaultId;
        EXPECT_EQ(preferredMicrophone(microphones, saved), expected) << saved.value_or("none");
    }
    microphones.defaultId = "usb.mic";
    (void)fake.defaults.set(settings::recordMicDeviceNameKey, "Unplugged");
    c().beginRecordFlow();
    EXPECT_EQ(c().model().selectedDevice(), 1);

    Flow none;
    none.microphones = {};
    none.c().beginRecordFlow();
    EXPECT_FALSE(none.c().model().micOn()) << "no microphone switches it off";
    EXPECT_EQ(none.events.back(), "monitor off");
}

TEST_F(RecordingControllerTest, CancellingBeforeTheRecordingEndsQuietly) {
    const std::vector<std::pair<const char*, std::function<void(Flow&)>>> cases{
        {"cancel button", [](auto& t) { t.panels.last("preRecord")->preRecord.onCancel(); }},
        {"Escape on the bar", [](auto& t) { t.panels.last("preRecord")->onEscape(); }},
        {"selection cancelled", [](auto& t) { t.pressStart(RecordingMode::window), t.cancel(); }},
        {"Escape in the count-in",
         [](auto& t) { t.pressStart(RecordingMode::full), t.panels.last("countIn")->onEscape(); }},
        {"full screen without a display",
         [](auto& t) { t.screens.clear(), t.pressStart(RecordingMode::full); }},
    };
    for (const auto& [name, act] : cases) {
        Flow t;
        t.c().beginRecordFlow();
        act(t);
        t.fake.loop.advance(10s);
        EXPECT_EQ(t.c().state(), S::idle) << name;
        EXPECT_FALSE(t.panels.anyOpen()) << name;
        EXPECT_TRUE(t.engine.requests.empty()) << name << ": nothing recorded";
        EXPECT_TRUE(t.banners.empty()) << name;
        EXPECT_EQ(t.events.back(), "monitor off") << name;
        EXPECT_EQ(t.fake.loop.pendingTimers(), 0u) << name;
    }
}

TEST_F(RecordingControllerTest, SelectionCommitCountsInThreeTwoOneThenStarts) {
    c().beginRecordFlow();
    pressStart(RecordingMode::region);
    EXPECT_EQ(c().state(), S::selecting);
    EXPECT_EQ(events.back(), "select Region");
    commit(ScreenRecorder::Target::display(22, ScreenRecorder::Region{10, 20, 300, 200}));
    EXPECT_EQ(c().state(), S::countIn);
    std::vector<int> shown{c().model().countdown()};
    for (int tick = 0; tick < 3; ++tick) {
        EXPECT_TRUE(engine.requests.empty()) << "not before the third tick";
        fake.loop.advance(1s);
        shown.push_back(c().model().countdown());
    }
    EXPECT_EQ(shown, (std::vector<int>{3, 2, 1, 0}));
    ASSERT_EQ(engine.requests.size(), 1u);
    EXPECT_EQ(engine.requests[0].target.region->width, 300);
    EXPECT_EQ(engine.requests[0].micDevice, "usb.mic");
    EXPECT_EQ(engine.requests[0].maxHeight, 1080);
    EXPECT_EQ(c().state(), S::countIn) << "while the start runs";
    EXPECT_FALSE(panels.last("countIn")->open);
    engine.startDone({});
    EXPECT_EQ(c().state(), S::recording);
    auto bar = panels.last("recording");
    ASSERT_EQ(bar->presented.size(), 1u);
    EXPECT_EQ(bar->presented[0].first, (geometry::Point{1800 - 300 - 22, 22}));
    EXPECT_FALSE(bar->presented[0].second) << "shown without taking focus";
    EXPECT_EQ(events.back(), "clicks on");
}

TEST_F(RecordingControllerTest, WithoutCountInThePhaseGoesStraightToRecording) {
    countInOff();
    std::vector<RecordingPhase> phases;
    auto watch = c().model().observe([&](RecordingUIModel::Field f) {
        if (f == RecordingUIModel::Field::phase) {
            phases.push_back(c().model().phase());
        }
    });
    c().beginRecordFlow();
    pressStart(RecordingMode::full);
    ASSERT_EQ(engine.requests.size(), 1u);
    EXPECT_EQ(engine.requests[0].target.id, 22u) << "the display under the pointer";
    engine.startDone({});
    EXPECT_EQ(phases, (std::vector<RecordingPhase>{RecordingPhase::recording}));
    EXPECT_TRUE(panels.last("countIn") == nullptr);
}

TEST_F(RecordingControllerTest, AStartFailureEndsWithItsBanner) {
    record(); // a successful one first: the controller serves the next flow too
    c().stopRecording();
    engine.stopDone(std::nullopt);
    EXPECT_EQ(banners.back().message, "The recording couldn't be saved.");
    EXPECT_EQ(c().state(), S::idle);
    c().beginRecordFlow();
    pressStart(RecordingMode::full);
    fake.loop.advance(3s);
    engine.startDone(Unexpected(RecorderError::captureFailed));
    EXPECT_EQ(c().state(), S::idle);
    EXPECT_EQ(banners.back().message, "Couldn't start recording.");
    EXPECT_FALSE(panels.anyOpen());
}

TEST_F(RecordingControllerTest, MicrophoneWithoutAccessRecordsSilentlyWithABanner) {
    micAccess = MicAuthorization::denied;
    record();
    EXPECT_FALSE(engine.requests[0].mic);
    EXPECT_EQ(banners.back().message, "Microphone access is off — recording without audio.");
    EXPECT_NE(std::find(events.begin(), events.end(), "sound settings"), events.end());
}

TEST_F(RecordingControllerTest, PausesDoNotCountInTheElapsedTime) {
    record();
    fake.loop.advance(2s);
    EXPECT_EQ(c().model().elapsedText(), "0:02");
    c().setPaused(true);
    EXPECT_EQ(c().state(), S::paused);
    fake.loop.advance(5s);
    EXPECT_EQ(c().model().elapsedText(), "0:02") << "still while paused";
    c().setPaused(false);
    fake.loop.advance(1s);
    EXPECT_EQ(c().model().elapsedText(), "0:03");
    EXPECT_EQ(engine.calls, (std::vector<std::string>{"pause", "resume"}));
    c().setPaused(false); // resume while recording does nothing
    EXPECT_EQ(engine.calls.size(), 2u);
}

TEST_F(RecordingControllerTest, KeepRecordingReturnsToTheStateBeforeTheQuestion) {
    for (const bool paused : {false, true}) {
        Flow t;
        t.record();
        if (paused) {
            t.c().setPaused(true);
        }
        t.alerts.answer = 1;
        t.alerts.duringAlert = [&] { EXPECT_EQ(t.c().state(), S::confirmDiscard); };
        t.panels.last("recording")->onEscape();
        ASSERT_EQ(t.alerts.asked.size(), 1u);
        const auto& asked = t.alerts.asked[0];
        EXPECT_EQ(asked.style, platform::AlertStyle::warning);
        EXPECT_EQ(asked.message, "Discard recording?");
        EXPECT_EQ(asked.informativeText, "This recording will be deleted and not uploaded.");
        EXPECT_EQ(asked.buttons, (std::vector<std::string>{"Discard", "Keep recording"}));
        EXPECT_EQ(t.c().state(), paused ? S::paused : S::recording);
        EXPECT_EQ(t.c().model().phase(),
                  paused ? RecordingPhase::paused : RecordingPhase::recording);
        const std::vector<std::string> expected = paused
                                                      ? std::vector<std::string>{"pause"}
                                                      : std::vector<std::string>{"pause", "resume"};
        EXPECT_EQ(t.engine.calls, expected) << (paused ? "paused stays paused" : "runs again");
    }
}

TEST_F(RecordingControllerTest, DiscardsAbortAndSayWhyOnlyWhenTheSystemDid) {
    struct Case {
        const char* name;
        std::function<void(Flow&)> act;
        std::optional<std::string> banner;
    };
    const std::vector<Case> cases{
        {"Discard in the alert", [](auto& t) { t.panels.last("recording")->bar.onDiscard(); },
         std::nullopt},
        {"sleep", [](auto& t) { t.c().systemInterrupt(); },
         "Recording discarded — the system was interrupted."},
        {"sleep during the alert",
         [](auto& t) {
             t.alerts.answer = 1;
             t.alerts.duringAlert = [&t] { t.c().systemInterrupt(); };
             t.c().confirmDiscard();
         },
         "Recording discarded — the system was interrupted."},
        {"source lost", [](auto& t) { t.engine.sourceLost(), t.fake.loop.runPending(); },
         "Recording stopped — the screen or window became unavailable."},
    };
    for (const auto& [name, act, banner] : cases) {
        Flow t;
        t.record();
        act(t);
        EXPECT_EQ(t.c().state(), S::discarding) << name;
        EXPECT_FALSE(t.panels.last("recording")->open) << name;
        t.engine.discardDone();
        EXPECT_EQ(t.c().state(), S::idle) << name;
        EXPECT_EQ(std::count(t.engine.calls.begin(), t.engine.calls.end(), "discard"), 1) << name;
        ASSERT_EQ(t.banners.size(), banner ? 1u : 0u) << name;
        if (banner) {
            EXPECT_EQ(t.banners[0].message, *banner) << name;
        }
        EXPECT_EQ(t.fake.loop.pendingTimers(), 0u) << name;
    }
    c().systemInterrupt(); // idle: nothing to throw away
    EXPECT_TRUE(engine.calls.empty());
}

TEST_F(RecordingControllerTest, StopPutsTheLinkOnTheClipboardAndShowsTheCard) {
    record();
    fake.loop.advance(65s);
    c().stopRecording();
    EXPECT_EQ(c().state(), S::uploading);
    c().beginRecordFlow();
    c().confirmDiscard();
    c().systemInterrupt();
    EXPECT_EQ(c().state(), S::uploading) << "user entries and interruptions are ignored";
    engine.stopDone(recordingFile());
    EXPECT_EQ(banners.back().message, "Finishing upload…");
    EXPECT_EQ(banners.back().severity, Severity::success);
    engine.uploadDone(std::string("https://v.example/abc"));
    fake.loop.runPending();
    EXPECT_EQ(clipboard, "https://v.example/abc");
    EXPECT_EQ(cards, (std::vector<std::string>{"https://v.example/abc 1:05 velloq-rec.mp4"}));
    EXPECT_EQ(c().state(), S::idle);
    EXPECT_TRUE(std::filesystem::exists(temp.path() / "velloq-rec.mp4")) << "the card owns it";
}

TEST_F(RecordingControllerTest, AFailedUploadKeepsTheRecordingInTheVideosFolder) {
    record();
    c().stopRecording();
    const auto file = recordingFile();
    engine.stopDone(file);
    engine.uploadDone(Unexpected(NetError(
        platform::TransportError{platform::TransportErrorKind::cannotConnectToHost, "refused"})));
    EXPECT_EQ(c().state(), S::idle);
    EXPECT_TRUE(cards.empty());
    EXPECT_FALSE(std::filesystem::exists(file));
    const auto kept = temp.path() / "kept";
    ASSERT_EQ(std::distance(std::filesystem::directory_iterator(kept), {}), 1);
    const auto keptFile = std::filesystem::directory_iterator(kept)->path();
    EXPECT_EQ(testing::fileContents(keptFile), "fMP4 bytes");
    EXPECT_EQ(banners.back().severity, Severity::error);
    EXPECT_EQ(banners.back().message,
              "Couldn't reach the server. The recording was kept in " + kept.string() + ".");
    EXPECT_EQ(fake.log.count("Velloq video: kept the recording at " + keptFile.string()), 1u);
}

TEST(PanelOrigin, FollowsThePointerElseTheFirstScreen) {
    const std::vector<PanelScreen> screens{{{0, 0, 1000, 800}, {0, 40, 1000, 760}, 1},
                                           {{-800, 100, 800, 600}, {-800, 100, 800, 570}, 2}};
    EXPECT_EQ(panelOrigin(screens, geometry::Point{-10, 200}, 100, false),
              (geometry::Point{-450, 122}));
    EXPECT_EQ(panelOrigin(screens, std::nullopt, 100, true), (geometry::Point{878, 62}));
    EXPECT_EQ(panelOrigin(screens, geometry::Point{5000, 5000}, 100, false),
              (geometry::Point{450, 62}));
    EXPECT_EQ(panelOrigin({}, geometry::Point{1, 1}, 100, true), (geometry::Point{0, 0}));
}

} // namespace
} // namespace velloq::recording
