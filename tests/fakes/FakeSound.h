#pragma once

#include "platform/Sound.h"

namespace velloq::testing {

// Counts the capture sounds played.
class FakeSound final : public platform::Sound {
public:
    void playCaptureSound() override { ++capturePlays; }
    int capturePlays = 0;
};

} // namespace velloq::testing
