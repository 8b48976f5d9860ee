#include "recording/PowerMeter.h"

#include "recording/MicLevel.h"

namespace velloq::recording {

void PowerMeter::add(const platform::AudioBlock& block) {
    double sum = 0;
    for (std::size_t i = 0; i < block.count; ++i) {
        const double sample = block.samples[i];
        sum += sample * sample;
    }
    std::lock_guard lock(mutex_);
    sumOfSquares_ += sum;
    count_ += block.count;
}

double PowerMeter::take() {
    double sum = 0;
    std::size_t count = 0;
    {
        std::lock_guard lock(mutex_);
        sum = sumOfSquares_;
        count = count_;
        sumOfSquares_ = 0;
        count_ = 0;
    }
    return averagePowerDecibels(sum, count);
}

} // namespace velloq::recording
