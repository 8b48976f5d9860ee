#pragma once

// Hand-driven stand-ins for what the recording controller talks to: an
// engine whose answers the test gives, panels that only record how they were
// shown, and an alert that answers at once.

#include "recording/RecordingController.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velloq::testing {

class FakeEngine final : public recording::RecordingEngine {
public:
    void start(const recording::RecordingRequest& request,
               std::function<void(Expected<void, recording::RecorderError>)> done) override {
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

    std::vector<recording::RecordingRequest> requests;
    std::vector<std::string> calls;
    std::function<void(Expected<void, recording::RecorderError>)> startDone;
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
    recording::PreRecordActions preRecord;
    recording::RecordingBarActions bar;
};

class FakePanels final : public recording::RecordingPanels {
public:
    struct Panel final : recording::RecordingPanel {
        explicit Panel(std::shared_ptr<PanelRecord> r) : record(std::move(r)) {}
        ~Panel() override { record->open = false; }
        geometry::Size fittingSize() override { return record->size; }
        void present(geometry::Point origin, bool takeKeyboard) override {
            record->presented.emplace_back(origin, takeKeyboard);
        }
        std::shared_ptr<PanelRecord> record;
    };

    std::unique_ptr<recording::RecordingPanel>
    preRecordBar(recording::RecordingUIModel&, recording::PreRecordActions actions,
                 std::function<void()> onEscape) override {
        auto panel = make("preRecord", std::move(onEscape));
        panel->record->preRecord = std::move(actions);
        return panel;
    }
    std::unique_ptr<recording::RecordingPanel> countIn(recording::RecordingUIModel&,
                                                       std::function<void()> onEscape) override {
        return make("countIn", std::move(onEscape));
    }
    std::unique_ptr<recording::RecordingPanel>
    recordingBar(recording::RecordingUIModel&, recording::RecordingBarActions actions,
                 std::function<void()> onEscape) override {
        auto panel = make("recording", std::move(onEscape));
        panel->record->bar = std::move(actions);
        return panel;
    }

    // The last panel of `kind` made, or null.
    std::shared_ptr<PanelRecord> last(const std::string& kind) const {
        for (auto it = made.rbegin(); it != made.rend(); ++it) {
            if ((*it)->kind == kind) {
                return *it;
            }
        }
        return nullptr;
    }
    std::vector<std::string> open() const {
        std::vector<std::string> kinds;
        for (const auto& record : made) {
            if (record->open) {
                kinds.push_back(record->kind);
            }
        }
        return kinds;
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

} // namespace velloq::testing
