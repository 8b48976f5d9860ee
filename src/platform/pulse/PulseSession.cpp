#include "platform/pulse/PulseSession.h"

#include <pulse/mainloop-api.h>
#include <pulse/timeval.h>
#include <sys/time.h>

namespace velloq::platform::pulse {
namespace {

// A wake-up at the deadline, so a wait never outlives it even when the
// server goes quiet.
struct Deadline {
    pa_threaded_mainloop* loop;
    bool passed = false;
};

void onDeadline(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* userdata) {
    auto* deadline = static_cast<Deadline*>(userdata);
    deadline->passed = true;
    pa_threaded_mainloop_signal(deadline->loop, 0);
}

void onContextState(pa_context*, void* userdata) {
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(userdata), 0);
}

} // namespace

std::unique_ptr<PulseSession> PulseSession::connect(std::chrono::milliseconds limit) {
    std::unique_ptr<PulseSession> session(new PulseSession);
    session->loop_.reset(pa_threaded_mainloop_new());
    if (!session->loop_) {
        return nullptr;
    }
    session->context_.reset(
        pa_context_new(pa_threaded_mainloop_get_api(session->loop_.get()), "Velloq"));
    if (!session->context_) {
        return nullptr;
    }
    pa_context* context = session->context_.get();
    pa_context_set_state_callback(context, onContextState, session->loop_.get());
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        pa_threaded_mainloop_start(session->loop_.get()) < 0) {
        return nullptr;
    }
    bool ready = false;
    {
        Locked lock(*session);
        session->waitUntil(
            [&] {
                const pa_context_state_t state = pa_context_get_state(context);
                ready = state == PA_CONTEXT_READY;
                return ready || !PA_CONTEXT_IS_GOOD(state);
            },
            limit);
    }
    if (!ready) {
        return nullptr;
    }
    return session;
}

PulseSession::~PulseSession() {
    // The thread goes first so no callback can run while the context is released.
    stopThread();
    context_.reset();
}

bool PulseSession::waitUntil(const std::function<bool()>& done,
                             std::chrono::milliseconds limit) const {
    if (done()) {
        return true;
    }
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_.get());
    Deadline deadline{loop_.get()};
    struct timeval when {};
    pa_timeval_add(pa_gettimeofday(&when), static_cast<pa_usec_t>(limit.count()) * 1000);
    pa_time_event* event = api->time_new(api, &when, onDeadline, &deadline);
    bool result = false;
    while (!(result = done()) && !deadline.passed) {
        pa_threaded_mainloop_wait(loop_.get());
    }
    api->time_free(event);
    return result;
}

void PulseSession::stopThread() {
    if (loop_) {
        pa_threaded_mainloop_stop(loop_.get());
    }
}

} // namespace velloq::platform::pulse
