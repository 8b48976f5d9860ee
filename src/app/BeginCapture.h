#pragma once

// The still-capture entry action, shared by the hotkey, the tray's
// "Capture" row and `velloq gui`. Only an idle overlay accepts a capture:
// presses while the snapshot is taken or the overlay shows are ignored.

namespace velloq {
namespace capture {
class CaptureOverlayController;
}

void beginCapture();
void beginCapture(capture::CaptureOverlayController& controller);

} // namespace velloq
