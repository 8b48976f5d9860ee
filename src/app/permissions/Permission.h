#pragma once

// The three capabilities the permissions window lists, in its order, and
// what the desktop offers for each.

#include <functional>

namespace velloq {

enum class Permission { screenRecording, microphone, accessibility };

// Opens the desktop's settings page for the permission; false when the
// desktop has none, and the window then says in one sentence how to grant it.
using OpenPermissionSettings = std::function<bool(Permission)>;

// One sentence on how to grant the permission on this desktop.
const char* howToGrant(Permission permission);

// The product's openers: the desktop's sound settings for the microphone
// once a backend offers them; X11 has no page for the other two.
bool openDesktopPermissionSettings(Permission permission);

} // namespace velloq
