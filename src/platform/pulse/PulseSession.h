#pragma once

// One client connection to the sound server on a threaded main loop of its
// own. Callbacks of the library run on that loop's thread with the loop lock
// held; every other thread takes the lock (`Locked`) before touching the
// context or a stream.

#include <chrono>
#include <functional>
#include <memory>
#include <pulse/context.h>
#include <pulse/thread-mainloop.h>

namespace velloq::platform::pulse {

class PulseSession {
public:
    // None when no server answers within `limit`.
    static std::unique_ptr<PulseSession> connect(std::chrono::milliseconds limit);
    ~PulseSession();
    PulseSession(const PulseSession&) = delete;
    PulseSession& operator=(const PulseSession&) = delete;

    pa_context* context() const { return context_.get(); }
    pa_threaded_mainloop* loop() const { return loop_.get(); }

    // Holds the loop lock for its scope. Never taken on the loop's own thread.
    class Locked {
    public:
        explicit Locked(const PulseSession& session) : loop_(session.loop()) {
            pa_threaded_mainloop_lock(loop_);
        }
        ~Locked() { pa_threaded_mainloop_unlock(loop_); }
        Locked(const Locked&) = delete;
        Locked& operator=(const Locked&) = delete;

    private:
        pa_threaded_mainloop* loop_;
    };

    // With the lock held: sleeps until `done()` holds or `limit` passes, and
    // says which. Callbacks that change what `done` reads must call wake().
    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) const;
    void wake() const { pa_threaded_mainloop_signal(loop_.get(), 0); }

    // Ends the loop thread: afterwards no callback runs and handles may be
    // released without the lock. Idempotent; never called on the loop thread.
    void stopThread();

private:
    struct LoopFree {
        void operator()(pa_threaded_mainloop* loop) const {
            pa_threaded_mainloop_stop(loop);
            pa_threaded_mainloop_free(loop);
        }
    };
    struct ContextRelease {
        void operator()(pa_context* context) const {
            pa_context_set_state_callback(context, nullptr, nullptr);
            pa_context_disconnect(context);
            pa_context_unref(context);
        }
    };

    PulseSession() = default;

    std::unique_ptr<pa_threaded_mainloop, LoopFree> loop_;
    std::unique_ptr<pa_context, ContextRelease> context_;
};

// Library objects that hold a reference, released the moment they go out of scope.
struct OperationUnref {
    void operator()(pa_operation* operation) const { pa_operation_unref(operation); }
};
using Operation = std::unique_ptr<pa_operation, OperationUnref>;

} // namespace velloq::platform::pulse
