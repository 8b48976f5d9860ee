#pragma once

// The floating toolbar of the capture overlay: brand badge, the four mode
// buttons, the display menu (two or more displays), Markup and Cancel. It
// never takes keyboard focus, so Escape keeps reaching the overlay.

#include "capture/CaptureMode.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <QWidget>

class QAbstractButton;
class QMenu;

namespace velloq::capture {

class CaptureToolbar final : public QWidget {
public:
    explicit CaptureToolbar(std::shared_ptr<CaptureToolbarModel> model);
    ~CaptureToolbar() override;

    std::function<void()> onFullscreen;
    std::function<void(std::uint32_t)> onCaptureDisplay;
    std::function<void()> onCaptureAll;
    std::function<void()> onPen;
    std::function<void()> onClose;
    // The display menu closed (it held the keyboard while open).
    std::function<void()> onMenuClosed;

    // For tests and the overlay: the buttons by tooltip, the display menu.
    [[nodiscard]] QAbstractButton* button(const QString& tooltip) const;
    [[nodiscard]] QMenu* displayMenu() const { return menu_.get(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void modeTapped(CaptureMode mode);
    void buildMenu();

    std::shared_ptr<CaptureToolbarModel> model_;
    std::unique_ptr<QMenu> menu_;
};

} // namespace velloq::capture
