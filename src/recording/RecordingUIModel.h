#pragma once

// Everything the recording panels show: the chosen mode and microphone, the
// live level, the phase, the count-in number and the elapsed time. Views only
// read it and write the fields of their own controls; the controller owns it.
// Main thread only. Observers hear of every field that changes.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velloq::recording {

enum class RecordingMode { region, window, full };
enum class RecordingPhase { preRecord, countIn, recording, paused };

// The label the pre-record bar shows for a mode ("Region", "Window", "Full screen").
const char* modeLabel(RecordingMode mode);
// The glyph drawn for a mode.
const char* modeSymbol(RecordingMode mode);

class RecordingUIModel {
public:
    enum class Field {
        mode,
        micOn,
        devices,
        selectedDevice,
        micLevel,
        phase,
        countdown,
        elapsed,
        collapsed
    };
    using Observer = std::function<void(Field)>;

    // Observing lasts as long as the subscription; dropping it ends it.
    class Subscription {
    public:
        Subscription() = default;
        explicit Subscription(std::shared_ptr<Observer> observer)
            : observer_(std::move(observer)) {}

    private:
        std::shared_ptr<Observer> observer_;
    };

    RecordingMode mode() const { return mode_; }
    bool micOn() const { return micOn_; }
    const std::vector<std::string>& devices() const { return devices_; }
    int selectedDevice() const { return selectedDevice_; }
    double micLevel() const { return micLevel_; }
    RecordingPhase phase() const { return phase_; }
    int countdown() const { return countdown_; }
    double elapsed() const { return elapsed_; }
    bool collapsed() const { return collapsed_; }

    void setMode(RecordingMode value);
    void setMicOn(bool value);
    void setDevices(std::vector<std::string> value);
    void setSelectedDevice(int value);
    void setMicLevel(double value); // kept within [0, 1]
    void setPhase(RecordingPhase value);
    void setCountdown(int value);
    void setElapsed(double value);
    void setCollapsed(bool value);

    // "%d:%02d" of the whole elapsed seconds: 0:07, 1:05, 75:30.
    std::string elapsedText() const;
    // The selected device's name, or "Default microphone" when the index is off the list.
    std::string selectedDeviceName() const;

    [[nodiscard]] Subscription observe(Observer observer);

private:
    void changed(Field field);

    RecordingMode mode_ = RecordingMode::region;
    bool micOn_ = true;
    std::vector<std::string> devices_;
    int selectedDevice_ = 0;
    double micLevel_ = 0;
    RecordingPhase phase_ = RecordingPhase::preRecord;
    int countdown_ = 3;
    double elapsed_ = 0;
    bool collapsed_ = false;
    std::vector<std::weak_ptr<Observer>> observers_;
};

} // namespace velloq::recording
