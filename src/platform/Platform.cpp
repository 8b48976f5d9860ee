#include "platform/Platform.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

namespace velloq::platform {
namespace {

// Workers read the services while the main thread may install a new set (a
// test does, per case), so a set is never changed once published: install()
// publishes a new immutable copy and readers see one set or the other, whole.
// Published sets live until the process ends, so a reader never holds a
// dangling one.
const Services empty{};
std::atomic<const Services*> published{&empty};
std::atomic<std::thread::id> installer{};

const Services& currentSet() {
    return *published.load(std::memory_order_acquire);
}

template <class T> T& require(T* service, const char* name) {
    if (service == nullptr) {
        std::fprintf(stderr, "Velloq: platform service '%s' used before it was installed\n", name);
        std::abort();
    }
    return *service;
}

} // namespace

Services install(const Services& services) {
    // Installing is the main thread's business: the first thread to install
    // is the only one that may install again.
    std::thread::id expected{};
    const auto self = std::this_thread::get_id();
    if (!installer.compare_exchange_strong(expected, self) && expected != self) {
        std::fprintf(stderr, "Velloq: platform services installed from a second thread\n");
        std::abort();
    }
    static std::mutex keep;
    static std::deque<Services> sets; // deque: published addresses stay put
    const Services* next = nullptr;
    {
        std::lock_guard lock(keep);
        next = &sets.emplace_back(services);
    }
    return *published.exchange(next, std::memory_order_acq_rel);
}

const Services& installed() {
    return currentSet();
}

MainQueue& mainQueue() {
    return require(currentSet().mainQueue, "mainQueue");
}
Clock& clock() {
    return require(currentSet().clock, "clock");
}
DefaultsStore& defaults() {
    return require(currentSet().defaults, "defaults");
}
SecretStore& secrets() {
    return require(currentSet().secrets, "secrets");
}
Permissions& permissions() {
    return require(currentSet().permissions, "permissions");
}
Application& application() {
    return require(currentSet().application, "application");
}
Clipboard& clipboard() {
    return require(currentSet().clipboard, "clipboard");
}
SavePanel& savePanel() {
    return require(currentSet().savePanel, "savePanel");
}
Files& files() {
    return require(currentSet().files, "files");
}
WorkArea& workArea() {
    return require(currentSet().workArea, "workArea");
}
FloatingWindows& floatingWindows() {
    return require(currentSet().floatingWindows, "floatingWindows");
}
Screens& screens() {
    return require(currentSet().screens, "screens");
}
Http& http() {
    return require(currentSet().http, "http");
}

Sound& sound() {
    return require(currentSet().sound, "sound");
}
Hotkeys& hotkeys() {
    return require(currentSet().hotkeys, "hotkeys");
}

} // namespace velloq::platform
