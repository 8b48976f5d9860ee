#pragma once

// An on/off switch for a form row: a rounded track with a round knob, in the
// brand colour when on. Space toggles it when it has the keyboard.

#include <QAbstractButton>

namespace velloq {

class ToggleSwitch final : public QAbstractButton {
public:
    explicit ToggleSwitch(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace velloq
