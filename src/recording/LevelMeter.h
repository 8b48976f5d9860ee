#pragma once

// The microphone's live level as a row of bars growing from 6 to 17 points
// high; the first level × count bars are lit. Level changes slide over 0.1 s.

#include <QVariantAnimation>
#include <QWidget>

namespace velloq::recording {

class LevelMeter final : public QWidget {
public:
    explicit LevelMeter(int count, QWidget* parent = nullptr);

    void setLevel(double level);
    double shownLevel() const { return shown_; }
    // How many bars a level lights.
    static int litBars(double level, int count);
    // Bar `index`'s height in points.
    static double barHeight(int index, int count);
    static double width(int count);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int count_;
    double shown_ = 0;
    QVariantAnimation slide_;
};

} // namespace velloq::recording
