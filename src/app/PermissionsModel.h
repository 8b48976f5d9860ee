#pragma once

// Whether each of the three capabilities Velloq needs is available now. The
// flags change only through refresh(); views observe them through onChange.

#include <functional>
#include <vector>

namespace velloq {

class PermissionsModel {
public:
    static PermissionsModel& shared();

    bool screenRecording() const { return screenRecording_; }
    bool microphone() const { return microphone_; }
    bool accessibility() const { return accessibility_; }

    // Re-reads the three flags, in this order, without prompting.
    void refresh();
    // The same, with the checks (each opens a display connection or asks the
    // sound server, up to a second) run by `runOnWorker`; the flags change on
    // the main thread when they answer. While one runs, another is not started.
    void refreshInBackground(const std::function<void(std::function<void()>)>& runOnWorker);
    // Asks for screen capture access, then refreshes at once.
    void requestScreenRecording();

    // Called on the main thread after a refresh that changed a flag.
    void observe(std::function<void()> onChange);

private:
    // The three checks, in this order, on whatever thread calls read().
    struct Flags {
        bool screenRecording = false;
        bool microphone = false;
        bool accessibility = false;
        static Flags read();
    };

    PermissionsModel() = default;
    void apply(const Flags& flags);

    bool screenRecording_ = false;
    bool microphone_ = false;
    bool accessibility_ = false;
    bool checking_ = false;
    std::vector<std::function<void()>> observers_;
};

} // namespace velloq
