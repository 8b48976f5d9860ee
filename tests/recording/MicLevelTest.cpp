#include "recording/MicLevel.h"

#include "recording/PowerMeter.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace velloq::recording {
namespace {

TEST(MicLevel, ChannelPowersMapLinearlyFromMinus60To0Decibels) {
    const struct {
        std::vector<float> decibels;
        double level;
    } cases[] = {
        {{-60}, 0},   {{-75}, 0},        {{float(silenceDecibels)}, 0},
        {{-12}, 0.8}, {{-30}, 0.5},      {{0}, 1},
        {{6}, 1},     {{-20, -40}, 0.5}, {{0, -160}, 0},
        {{}, 0},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(levelFromChannelPowers(c.decibels), c.level, 1e-6)
            << c.decibels.size() << " channels, first " << (c.decibels.empty() ? 0 : c.decibels[0]);
    }
}

std::vector<float> sine(float amplitude, std::size_t count) {
    std::vector<float> samples(count);
    for (std::size_t i = 0; i < count; ++i) {
        samples[i] = amplitude * float(std::sin(2 * std::numbers::pi * 440 * double(i) / 48000));
    }
    return samples;
}

double meteredLevel(const std::vector<float>& samples) {
    PowerMeter meter;
    // In two blocks, as a capture delivers them.
    const std::size_t half = samples.size() / 2;
    meter.add({samples.data(), half, 0});
    meter.add({samples.data() + half, samples.size() - half, 0});
    const float power[] = {float(meter.take())};
    return levelFromChannelPowers(power);
}

TEST(MicLevel, MeterReadsSilenceAsZeroAndLouderAsHigher) {
    EXPECT_EQ(averagePowerDecibels(0, 0), silenceDecibels);
    EXPECT_EQ(averagePowerDecibels(0, 4800), silenceDecibels);
    EXPECT_NEAR(averagePowerDecibels(4800, 4800), 0, 1e-9); // full-scale square wave

    EXPECT_EQ(meteredLevel(std::vector<float>(4800, 0.0f)), 0);
    const double loud = meteredLevel(sine(0.5f, 4800));
    const double quiet = meteredLevel(sine(0.05f, 4800));
    // A sine at half of full scale is about −9 dB; a tenth of that is 20 dB lower.
    EXPECT_NEAR(loud, (60 - 9.03) / 60, 0.01);
    EXPECT_NEAR(loud - quiet, 20.0 / 60, 0.01);

    // A read empties the meter: nothing heard since reads as silence.
    PowerMeter meter;
    const auto samples = sine(0.5f, 480);
    meter.add({samples.data(), samples.size(), 0});
    EXPECT_GT(meter.take(), -10);
    EXPECT_EQ(meter.take(), silenceDecibels);
}

} // namespace
} // namespace velloq::recording
