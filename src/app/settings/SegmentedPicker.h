#pragma once

// A label and a row of options drawn side by side as buttons, the selected
// one highlighted; a click (or Left/Right with the keyboard) selects.

#include <functional>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace velloq {

class SegmentedControl;

class SegmentedPicker final : public QWidget {
public:
    SegmentedPicker(const QString& label, QStringList options, QWidget* parent = nullptr);

    // -1 when none of the options is the current value.
    int selected() const;
    void setSelected(int index); // does not call onSelect
    const QStringList& options() const;

    // The user chose option `index`.
    std::function<void(int index)> onSelect;

private:
    SegmentedControl* control_;
};

// The buttons alone.
class SegmentedControl final : public QWidget {
public:
    explicit SegmentedControl(QStringList options, QWidget* parent = nullptr);

    int selected() const { return selected_; }
    void setSelected(int index);
    const QStringList& options() const { return options_; }
    // The option under `point`, or -1.
    int optionAt(QPoint point) const;
    QSize sizeHint() const override;

    std::function<void(int index)> onSelect;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRectF segment(int index) const;
    void choose(int index);

    QStringList options_;
    int selected_ = -1;
};

} // namespace velloq
