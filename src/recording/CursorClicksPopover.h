#pragma once

// The popover of the pre-record bar's "Cursor & clicks" button: two switches
// saved straight into the settings, and the ripple previewed in miniature.

#include "platform/DefaultsStore.h"

#include <functional>
#include <QRectF>
#include <QWidget>
#include <string_view>

namespace velloq::recording {

class ClickPreview;

class CursorClicksPopover final : public QWidget {
public:
    static constexpr int popoverWidth = 250;

    CursorClicksPopover(platform::DefaultsStore& settings, bool translucent);

    // Flips a switch as a click on its row does.
    void toggle(std::string_view key);
    std::function<void()> onHidden;
    ClickPreview& preview() { return *preview_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Row {
        std::string_view key;
        const char* symbol;
        const char* title;
        const char* subtitle; // may be null
        QRectF rect;
    };
    bool isOn(std::string_view key) const;
    void paintRow(QPainter& painter, const Row& row) const;

    platform::DefaultsStore& settings_;
    bool translucent_;
    Row rows_[2];
    QRectF previewArea_;
    ClickPreview* preview_;
};

} // namespace velloq::recording
