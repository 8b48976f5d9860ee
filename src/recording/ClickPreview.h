#pragma once

// The click ripple in miniature, over and over, in a 46-point square: a
// coral disc growing and fading behind a coral ring, around a small dot.

#include <QVariantAnimation>
#include <QWidget>

namespace velloq::recording {

class ClickPreview final : public QWidget {
public:
    static constexpr int side = 46;

    explicit ClickPreview(QWidget* parent = nullptr);

    // Shows the ripple at `progress` (0 to 1 of one 1.1 s round) and stops the loop.
    void setProgressForTest(double progress);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double progress_ = 0; // eased
    QVariantAnimation loop_;
};

} // namespace velloq::recording
