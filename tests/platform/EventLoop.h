#pragma once

// The Qt event loop for platform tests that need no widgets.

#include <chrono>
#include <QCoreApplication>

namespace velloq::testing {

// One QCoreApplication for the test program, created on first use.
inline void coreApp() {
    static int argc = 1;
    static char name[] = "velloq-tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        new QCoreApplication(argc, argv);
    }
}

// Runs the event loop until `done` holds or `limit` passes; whether it holds.
template <class Done>
bool spinUntil(Done done, std::chrono::milliseconds limit = std::chrono::milliseconds(2000)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

// Runs the event loop for `time`, for what must not happen meanwhile.
inline void spinFor(std::chrono::milliseconds time) {
    spinUntil([] { return false; }, time);
}

} // namespace velloq::testing
