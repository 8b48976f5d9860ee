#pragma once

// The floating window each recording panel lives in: no frame, above other
// windows, on every workspace, out of the task bar and pager. The pre-record
// bar and the count-in take the keyboard so Escape reaches them; the
// recording bar appears without taking focus from the user's work. Without
// a compositor its rounded shape is cut by a window mask.

#include <functional>
#include <QPainterPath>
#include <QWidget>

namespace velloq::recording {

class RecPanel final : public QWidget {
public:
    // Takes `content` as its child; `shape` gives the outline for a size.
    RecPanel(QWidget* content, bool takesKeyboard, bool translucent,
             std::function<QPainterPath(QSizeF)> shape);

    QWidget* content() const { return content_; }
    bool translucent() const { return translucent_; }
    bool takesKeyboard() const { return takesKeyboard_; }
    // Fits the content and shows it with its top-left corner at `topLeft`
    // (window-system pixels); takes the keyboard if it was made to.
    void showAt(QPoint topLeft);

    std::function<void()> onEscape;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* content_;
    bool takesKeyboard_;
    bool translucent_;
    bool shown_ = false;
    std::function<QPainterPath(QSizeF)> shape_;
};

} // namespace velloq::recording
