#include "recording/MicLevel.h"

#include <algorithm>
#include <cmath>

namespace velloq::recording {

double averagePowerDecibels(double sumOfSquares, std::size_t count) {
    if (count == 0 || !(sumOfSquares > 0)) {
        return silenceDecibels;
    }
    return std::max(silenceDecibels, 10.0 * std::log10(sumOfSquares / static_cast<double>(count)));
}

double levelFromChannelPowers(std::span<const float> decibels) {
    if (decibels.empty()) {
        return 0;
    }
    double sum = 0;
    for (const float channel : decibels) {
        sum += static_cast<double>(channel);
    }
    const double mean = sum / static_cast<double>(decibels.size());
    return std::clamp((mean + 60.0) / 60.0, 0.0, 1.0);
}

} // namespace velloq::recording
