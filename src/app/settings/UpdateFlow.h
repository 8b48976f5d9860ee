#pragma once

// The About pane's update check: idle → checking → up to date (back to idle
// after 10 seconds, unless a new check started meanwhile) or a newer version
// on offer; a failed check goes back to idle with an error banner.

#include "net/UpdateCheck.h"
#include "platform/Clock.h"
#include "ui/Severity.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace velloq {

struct UpdateState {
    enum class Kind { idle, checking, upToDate, available };
    Kind kind = Kind::idle;
    std::string version; // with `available`
    std::string url;     // with `available`
};

class UpdateFlow {
public:
    static constexpr platform::Clock::Duration upToDateShown{10000};

    // Runs the check somewhere else and calls back on the main thread.
    using Check = std::function<void(std::function<void(UpdateCheck::Result)>)>;
    using Banner = std::function<void(Severity, std::string_view, std::string_view)>;

    UpdateFlow(Check check, Banner banner);
    ~UpdateFlow();
    UpdateFlow(const UpdateFlow&) = delete;
    UpdateFlow& operator=(const UpdateFlow&) = delete;

    const UpdateState& state() const { return state_; }
    // Main thread. Starts a check; a result of an earlier one is then ignored.
    void check();

    // Called after every change of state().
    std::function<void()> onChange;

private:
    void finished(std::uint64_t generation, const UpdateCheck::Result& result);
    void set(UpdateState state);

    Check check_;
    Banner banner_;
    UpdateState state_;
    std::uint64_t generation_ = 0;
    std::shared_ptr<UpdateFlow*> self_; // the weak handle the check's callback holds
    platform::ScopedTimer reset_;
};

} // namespace velloq
