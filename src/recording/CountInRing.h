#pragma once

// The count-in: a round disc with a faint track, a coral ring that empties
// as the count goes down, and the number in the middle. Each new number
// arrives with a short ease-out.

#include <QVariantAnimation>
#include <QWidget>

namespace velloq::recording {

class RecordingUIModel;

class CountInRing final : public QWidget {
public:
    static constexpr int size = 84;
    static constexpr int from = 3; // the count starts here

    CountInRing(bool translucent, QWidget* parent = nullptr);

    void setNumber(int n);
    int number() const { return n_; }
    // The part of the ring drawn for `n`, from 1 (full) down.
    static double ringFraction(double n);
    void finishAnimationForTest();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool translucent_;
    int n_ = from;
    double shown_ = from; // the animated value behind the ring and the number's scale
    QVariantAnimation change_;
};

} // namespace velloq::recording
