#pragma once

// The window banners and cards float in: no frame, above every other window,
// on every workspace, and never taking focus or activating Velloq, whether it
// appears or is clicked. It is as large as its content. Without a compositor
// its corners are cut by a window mask; with one it is translucent.

#include "feedback/PanelContent.h"
#include "platform/WorkArea.h"

#include <memory>

namespace velloq {

class FloatingPanel final : public QWidget {
public:
    explicit FloatingPanel(std::unique_ptr<PanelContent> content);

    PanelContent* content() const { return content_; }
    bool translucent() const { return translucent_; }

    // Shows the panel at `frame`, in front, without activating anything.
    void present(const platform::WindowSystemRect& frame);

private:
    PanelContent* content_ = nullptr; // owned as a child
    bool translucent_ = false;
};

// Hides a panel and deletes it once control is back in the event loop: a
// panel may go away from inside one of its own event handlers.
struct PanelRelease {
    void operator()(FloatingPanel* panel) const;
};
using PanelHandle = std::unique_ptr<FloatingPanel, PanelRelease>;

} // namespace velloq
