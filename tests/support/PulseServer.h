#pragma once

// A private PulseAudio daemon for one test: its own runtime folder and
// socket, no configuration of the machine written, a microphone that hears
// a 440 Hz tone at half of full scale, a silent one, and an output whose
// monitor must never count as a microphone. PULSE_SERVER points this process at it
// until the object goes, then the daemon is stopped.

#include "fakes/ChildProcess.h"
#include "fakes/TempDir.h"

#include <memory>
#include <optional>
#include <string>

namespace velloq::testing {

class PulseServer {
public:
    static constexpr const char* toneSource = "velloq_test_tone";
    static constexpr const char* silentSource = "velloq_test_silence";
    static constexpr const char* outputSink = "velloq_test_output";

    // None when the daemon does not start (its errors go to standard error).
    // The daemon is killed when the thread that started it ends, so start it
    // from a thread that outlives its use (the test's main thread).
    static std::unique_ptr<PulseServer> start();
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // What PULSE_SERVER is set to: "unix:" and the socket path.
    const std::string& address() const { return address_; }
    // Runs `pactl` against this server; its exit status.
    int pactl(const std::vector<std::string>& arguments) const;

private:
    PulseServer() = default;
    bool warmUp() const;

    TempDir folder_;
    std::unique_ptr<ChildProcess> daemon_;
    std::string address_;
    std::optional<std::string> previousAddress_;
};

} // namespace velloq::testing
