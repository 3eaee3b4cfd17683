#pragma once

#include <cstdint>

#include "device/WorkerSettings.h"

namespace tessaly::test {

// Worker settings for tests: no wait after power-up, and the given write repetition and rest after
// programming, in milliseconds.
inline WorkerSettings QuickSettings(std::int32_t pulsePGM, std::int32_t pulseFix) {
    WorkerSettings settings;
    settings.delayPowerUp = 0;
    settings.pulsePGM = pulsePGM;
    settings.pulseFix = pulseFix;
    return settings;
}

}  // namespace tessaly::test
