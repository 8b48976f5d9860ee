#include "support/PulseServer.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <thread>

namespace velloq::testing {
namespace {

constexpr const char* daemonPath = "/usr/bin/pulseaudio";
constexpr const char* pactlPath = "/usr/bin/pactl";
constexpr const char* parecPath = "/usr/bin/parec";
constexpr const char* setprivPath = "/usr/bin/setpriv";

} // namespace

std::unique_ptr<PulseServer> PulseServer::start() {
    if (!std::filesystem::exists(daemonPath) || !std::filesystem::exists(pactlPath) ||
        !std::filesystem::exists(setprivPath)) {
        std::cerr << "pulseaudio, pactl or setpriv is not installed\n";
        return nullptr;
    }
    auto server = std::unique_ptr<PulseServer>(new PulseServer);
    const auto dir = server->folder_.path();
    const auto runtime = dir / "runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    const auto socket = dir / "native";
    server->address_ = "unix:" + socket.string();
    const std::string sink = outputSink;
    // -n skips the default start-up script: only the modules named here load.
    server->daemon_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{
            // A test that aborts cannot stop the daemon itself: the kernel does.
            setprivPath, "--pdeathsig", "KILL", "--", daemonPath, "-n", "--daemonize=no",
            "--exit-idle-time=-1", "--use-pid-file=no", "--disable-shm=yes", "--realtime=no",
            "--high-priority=no", "--log-target=stderr", "--log-level=error",
            "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket.string(),
            // A tone played into an output, and a microphone made of that output's
            // sound: it keeps real time, unlike module-sine-source, which hands
            // over two seconds ahead at once.
            "--load=module-null-sink sink_name=" + sink,
            "--load=module-sine frequency=440 sink=" + sink,
            // A steady low-latency listener keeps the output rendering in small
            // steps once it has begun (see warmUp).
            "--load=module-null-sink sink_name=velloq_test_drain",
            "--load=module-loopback latency_msec=20 source=" + sink +
                ".monitor sink=velloq_test_drain",
            "--load=module-remap-source channels=1 master=" + sink +
                ".monitor source_name=" + toneSource + " source_properties=device.description=Tone",
            std::string("--load=module-null-source source_name=") + silentSource},
        std::map<std::string, std::string>{
            {"HOME", dir.string()},
            {"XDG_RUNTIME_DIR", runtime.string()},
            {"XDG_CONFIG_HOME", (dir / "config").string()},
            {"XDG_STATE_HOME", (dir / "state").string()},
            // No session bus: nothing registered on, or started for, the caller's session.
            {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (dir / "no-bus").string()},
        });
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (!server->daemon_->running()) {
            std::cerr << "pulseaudio exited: " << server->daemon_->errors() << "\n";
            return nullptr;
        }
        if (std::filesystem::exists(socket) && server->pactl({"info"}) == 0) {
            if (!server->warmUp()) {
                std::cerr << "the tone never reached the microphone\n";
                return nullptr;
            }
            const char* previous = std::getenv("PULSE_SERVER");
            if (previous != nullptr) {
                server->previousAddress_ = previous;
            }
            ::setenv("PULSE_SERVER", server->address_.c_str(), 1);
            return server;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    std::cerr << "pulseaudio did not answer: " << server->daemon_->errors() << "\n";
    return nullptr;
}

PulseServer::~PulseServer() {
    if (previousAddress_) {
        ::setenv("PULSE_SERVER", previousAddress_->c_str(), 1);
    } else {
        ::unsetenv("PULSE_SERVER");
    }
    if (daemon_ && daemon_->running()) {
        daemon_->signal(SIGTERM);
        daemon_->wait(std::chrono::seconds(5));
    }
}

bool PulseServer::warmUp() const {
    // The output's first render covers its idle latency of two seconds; wait
    // it out here so that every capture a test opens hears the tone at once.
    ChildProcess listener({parecPath, "--raw", "--channels=1", "--rate=8000", "--latency-msec=20",
                           std::string("--device=") + toneSource},
                          {{"PULSE_SERVER", address_}, {"HOME", folder_.path().string()}});
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (!listener.output().empty()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

int PulseServer::pactl(const std::vector<std::string>& arguments) const {
    std::vector<std::string> argv{pactlPath};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ChildProcess client(argv, {{"PULSE_SERVER", address_}, {"HOME", folder_.path().string()}});
    return client.wait(std::chrono::seconds(10)).value_or(-1);
}

} // namespace velloq::testing
