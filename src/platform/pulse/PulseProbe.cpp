#include "platform/pulse/PulseProbe.h"

#include "platform/pulse/PulseMicrophones.h"

#include <chrono>
#include <memory>
#include <pulse/context.h>
#include <pulse/mainloop.h>

namespace velloq::platform {
namespace {

struct MainloopFree {
    void operator()(pa_mainloop* loop) const { pa_mainloop_free(loop); }
};
struct ContextUnref {
    void operator()(pa_context* context) const {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
};

} // namespace

bool soundServerAnswers() {
    std::unique_ptr<pa_mainloop, MainloopFree> loop(pa_mainloop_new());
    if (!loop) {
        return false;
    }
    std::unique_ptr<pa_context, ContextUnref> context(
        pa_context_new(pa_mainloop_get_api(loop.get()), "Velloq"));
    if (!context ||
        pa_context_connect(context.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (std::chrono::steady_clock::now() < deadline) {
        switch (pa_context_get_state(context.get())) {
        case PA_CONTEXT_READY:
            return true;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            return false;
        default:
            break;
        }
        // Wait at most 50 ms per turn so the deadline holds.
        pa_mainloop_prepare(loop.get(), 50'000);
        pa_mainloop_poll(loop.get());
        pa_mainloop_dispatch(loop.get());
    }
    return false;
}

bool microphoneAvailable() {
    return !makePulseMicrophones()->list().devices.empty();
}

} // namespace velloq::platform
