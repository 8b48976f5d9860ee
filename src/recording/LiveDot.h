#pragma once

// The recording bar's dot: deep coral with a soft glow, pulsing between full
// and 0.35 opacity every 1.4 s while recording; steady amber while paused.

#include <QColor>
#include <QVariantAnimation>
#include <QWidget>

namespace velloq::recording {

class LiveDot final : public QWidget {
public:
    static constexpr int glow = 5;

    // The widget is `size` plus the glow on each side.
    explicit LiveDot(double size, QWidget* parent = nullptr);

    // Pulsing coral (live) or steady amber.
    void setLive(bool live);
    double opacity() const { return opacity_; }
    void setOpacityForTest(double opacity);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double size_;
    bool live_ = true;
    double opacity_ = 1;
    QVariantAnimation pulse_;
};

} // namespace velloq::recording
