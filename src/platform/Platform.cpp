#include "platform/Platform.h"

#include <cstdio>
#include <cstdlib>

namespace velloq::platform {
namespace {

Services current;

template <class T> T& require(T* service, const char* name) {
    if (service == nullptr) {
        std::fprintf(stderr, "Velloq: platform service '%s' used before it was installed\n", name);
        std::abort();
    }
    return *service;
}

} // namespace

Services install(const Services& services) {
    Services previous = current;
    current = services;
    return previous;
}

const Services& installed() {
    return current;
}

MainQueue& mainQueue() {
    return require(current.mainQueue, "mainQueue");
}
Clock& clock() {
    return require(current.clock, "clock");
}
DefaultsStore& defaults() {
    return require(current.defaults, "defaults");
}
SecretStore& secrets() {
    return require(current.secrets, "secrets");
}
Permissions& permissions() {
    return require(current.permissions, "permissions");
}
Application& application() {
    return require(current.application, "application");
}
Clipboard& clipboard() {
    return require(current.clipboard, "clipboard");
}
ImageClipboard& imageClipboard() {
    return require(current.imageClipboard, "imageClipboard");
}
SavePanel& savePanel() {
    return require(current.savePanel, "savePanel");
}
Files& files() {
    return require(current.files, "files");
}
WorkArea& workArea() {
    return require(current.workArea, "workArea");
}
FloatingWindows& floatingWindows() {
    return require(current.floatingWindows, "floatingWindows");
}
Screens& screens() {
    return require(current.screens, "screens");
}
Http& http() {
    return require(current.http, "http");
}

Sound& sound() {
    return require(current.sound, "sound");
}
Hotkeys& hotkeys() {
    return require(current.hotkeys, "hotkeys");
}

} // namespace velloq::platform
