#pragma once

// The level meter's arithmetic: average power of samples in decibels relative
// to full scale, and the rule that turns channel powers into a level.

#include <cstddef>
#include <span>

namespace velloq::recording {

// The quietest power a meter reports; digital silence reads this, not −∞.
inline constexpr double silenceDecibels = -160.0;

// 10·log10 of the mean square of samples in [-1, 1] (a full-scale square wave
// reads 0 dB); `count` samples whose squares add up to `sumOfSquares`.
[[nodiscard]] double averagePowerDecibels(double sumOfSquares, std::size_t count);

// The mean of the channels' average powers mapped linearly from −60 dB (0) to
// 0 dB (1) and clamped to [0, 1]. No channels read 0.
[[nodiscard]] double levelFromChannelPowers(std::span<const float> decibels);

} // namespace velloq::recording
