#pragma once

// A small busy indicator: spokes whose brightness turns round while it is
// visible. Its ticks come from the main thread's clock.

#include "platform/Clock.h"

#include <QWidget>

namespace velloq {

class Spinner final : public QWidget {
public:
    static constexpr platform::Clock::Duration tick{80};

    explicit Spinner(int size = 16, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int step_ = 0;
    platform::ScopedTimer timer_;
};

} // namespace velloq
