#include "platform/x11/X11Hotkeys.h"

#include <cstdlib>
#include <memory>
#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <xcb/xcb.h>

namespace velloq::platform {
namespace {

constexpr std::uint32_t keysymNumLock = 0xff7f;
constexpr std::uint32_t keysymScrollLock = 0xff14;
constexpr int noDisplayStatus = -1;
constexpr int noKeyStatus = -2;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T> using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_connection_t* connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t* c) {
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

// The first keycode whose mapping lists `keysym` at any level.
std::optional<std::uint8_t> keycodeFor(xcb_connection_t* c, std::uint32_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const auto first = setup->min_keycode;
    const int count = setup->max_keycode - first + 1;
    Reply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, first, std::uint8_t(count)), nullptr));
    if (!mapping) {
        return std::nullopt;
    }
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int perCode = mapping->keysyms_per_keycode;
    for (int code = 0; code < count; ++code) {
        for (int level = 0; level < perCode; ++level) {
            if (syms[code * perCode + level] == keysym) {
                return std::uint8_t(first + code);
            }
        }
    }
    return std::nullopt;
}

// The modifier bit (Mod1..Mod5) a lock key is mapped to, or 0.
std::uint16_t modifierBitFor(xcb_connection_t* c, std::uint32_t keysym) {
    const auto code = keycodeFor(c, keysym);
    if (!code) {
        return 0;
    }
    Reply<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
    if (!mapping) {
        return 0;
    }
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            if (codes[modifier * perModifier + i] == *code) {
                return std::uint16_t(1u << modifier);
            }
        }
    }
    return 0;
}

constexpr std::uint16_t baseModifiers = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_4;

} // namespace

class X11Hotkeys::Filter final : public QAbstractNativeEventFilter {
public:
    explicit Filter(X11Hotkeys& owner) : owner_(owner) {}
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") {
            return false;
        }
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_KEY_PRESS) {
            return false;
        }
        const auto* press = static_cast<const xcb_key_press_event_t*>(message);
        return owner_.keyPressed(press->detail, press->state);
    }

private:
    X11Hotkeys& owner_;
};

X11Hotkeys::X11Hotkeys() = default;

X11Hotkeys::~X11Hotkeys() {
    for (const auto& [handle, grabbed] : grabs_) {
        ungrab(grabbed);
    }
    if (filter_ && qGuiApp) {
        qGuiApp->removeNativeEventFilter(filter_.get());
    }
}

Expected<HotkeyHandle, int> X11Hotkeys::grab(HotkeyCombination combination,
                                             std::function<void()> onPress) {
    xcb_connection_t* c = connection();
    if (c == nullptr) {
        return Unexpected(noDisplayStatus);
    }
    const auto lower = std::uint32_t(combination.letter - 'A' + 'a');
    auto keycode = keycodeFor(c, lower);
    if (!keycode) {
        return Unexpected(noKeyStatus);
    }
    const std::uint16_t numLock = modifierBitFor(c, keysymNumLock);
    const std::uint16_t scrollLock = modifierBitFor(c, keysymScrollLock);
    lockMask_ = std::uint16_t(numLock | scrollLock | XCB_MOD_MASK_LOCK);

    Grabbed grabbed{*keycode, {}, std::move(onPress)};
    for (std::uint16_t locks : {std::uint16_t(0), std::uint16_t(XCB_MOD_MASK_LOCK)}) {
        for (std::uint16_t num : {std::uint16_t(0), numLock}) {
            for (std::uint16_t scroll : {std::uint16_t(0), scrollLock}) {
                const std::uint16_t set = baseModifiers | locks | num | scroll;
                if (std::find(grabbed.modifierSets.begin(), grabbed.modifierSets.end(), set) ==
                    grabbed.modifierSets.end()) {
                    grabbed.modifierSets.push_back(set);
                }
            }
        }
    }
    const xcb_window_t root = rootWindow(c);
    std::vector<xcb_void_cookie_t> cookies;
    for (std::uint16_t set : grabbed.modifierSets) {
        cookies.push_back(xcb_grab_key_checked(c, 1, root, set, *keycode, XCB_GRAB_MODE_ASYNC,
                                               XCB_GRAB_MODE_ASYNC));
    }
    int failure = 0;
    for (const auto& cookie : cookies) {
        Reply<xcb_generic_error_t> error(xcb_request_check(c, cookie));
        if (error && failure == 0) {
            failure = error->error_code; // BadAccess (10) when another client holds it
        }
    }
    if (failure != 0) {
        ungrab(grabbed);
        return Unexpected(failure);
    }
    if (!filter_) {
        filter_ = std::make_unique<Filter>(*this);
        qGuiApp->installNativeEventFilter(filter_.get());
    }
    const HotkeyHandle handle = next_++;
    grabs_.emplace(handle, std::move(grabbed));
    return handle;
}

void X11Hotkeys::ungrab(const Grabbed& grabbed) {
    xcb_connection_t* c = connection();
    if (c == nullptr) {
        return;
    }
    for (std::uint16_t set : grabbed.modifierSets) {
        xcb_ungrab_key(c, grabbed.keycode, rootWindow(c), set);
    }
    xcb_flush(c);
}

void X11Hotkeys::release(HotkeyHandle handle) {
    const auto found = grabs_.find(handle);
    if (found == grabs_.end()) {
        return;
    }
    ungrab(found->second);
    grabs_.erase(found);
}

bool X11Hotkeys::keyPressed(std::uint8_t keycode, std::uint16_t state) {
    const std::uint16_t held = state & std::uint16_t(0xff) & std::uint16_t(~lockMask_);
    for (const auto& [handle, grabbed] : grabs_) {
        if (grabbed.keycode == keycode && held == baseModifiers) {
            // A copy: the action may release this very grab.
            const auto action = grabbed.onPress;
            action();
            return true;
        }
    }
    return false;
}

} // namespace velloq::platform
