#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>

#include "plugins/sim/FaultPlan.h"

namespace tessaly {

// What the environment asks of the simulator. A variable that is unset, empty or malformed leaves its
// default, so a typing error never stops the simulator from working:
//   TESSALY_SIM_DIR     directory of the chips' memory files and the driver flag; default
//                       $XDG_STATE_HOME/tessaly/sim, or ~/.local/state/tessaly/sim when XDG_STATE_HOME is
//                       unset or not an absolute path;
//   TESSALY_SIM_TWR_US  a chip's write cycle in microseconds, 0 to 10 000 000 (default 5000);
//   TESSALY_SIM_BUS_KHZ the bus clock in kilohertz (default 0: transfers take no time);
//   TESSALY_SIM_FAULTS  failures to fake (see FaultPlan).
struct SimSettings {
    static constexpr std::chrono::microseconds kDefaultWriteCycle{5000};
    static constexpr std::chrono::microseconds kLongestWriteCycle{10'000'000};

    std::filesystem::path directory;  // empty when neither variable nor a home directory gives one
    std::chrono::microseconds writeCycle = kDefaultWriteCycle;
    std::uint32_t busKhz = 0;
    FaultPlan faults;

    static SimSettings FromEnvironment();
};

}  // namespace tessaly
