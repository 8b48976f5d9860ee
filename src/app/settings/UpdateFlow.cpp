#include "app/settings/UpdateFlow.h"

#include "platform/Platform.h"

namespace velloq {

UpdateFlow::UpdateFlow(Check check, Banner banner)
    : check_(std::move(check)), banner_(std::move(banner)),
      self_(std::make_shared<UpdateFlow*>(this)) {}

UpdateFlow::~UpdateFlow() = default;

void UpdateFlow::check() {
    if (!check_) {
        set({});
        return;
    }
    const std::uint64_t generation = ++generation_;
    reset_.cancel();
    set({UpdateState::Kind::checking, {}, {}});
    std::weak_ptr<UpdateFlow*> weak = self_;
    check_([weak, generation](UpdateCheck::Result result) {
        // The window may have closed while the check ran.
        if (const auto self = weak.lock()) {
            (*self)->finished(generation, result);
        }
    });
}

void UpdateFlow::finished(std::uint64_t generation, const UpdateCheck::Result& result) {
    if (generation != generation_) {
        return;
    }
    using Kind = UpdateCheck::Result::Kind;
    switch (result.kind) {
    case Kind::available:
        if (result.manifest) {
            set({UpdateState::Kind::available, result.manifest->latest, result.manifest->url});
            return;
        }
        break; // an offer without its manifest is no offer
    case Kind::upToDate: {
        set({UpdateState::Kind::upToDate, {}, {}});
        // A new check, or the window closing, cancels this timer.
        auto& clock = platform::clock();
        reset_ = platform::ScopedTimer(clock, clock.schedule(upToDateShown, [this] {
            if (state_.kind == UpdateState::Kind::upToDate) {
                set({});
            }
        }));
        return;
    }
    case Kind::error:
        break;
    }
    set({});
    if (banner_) {
        banner_(Severity::error, "Velloq", "Couldn't check for updates.");
    }
}

void UpdateFlow::set(UpdateState state) {
    state_ = std::move(state);
    if (onChange) {
        onChange();
    }
}

} // namespace velloq
