#include "plugins/sim/SimSettings.h"

#include <cstdlib>
#include <limits>
#include <string_view>

#include "plugins/sim/DecimalNumber.h"

namespace tessaly {

namespace {

std::string_view Variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string_view{} : std::string_view{value};
}

// The XDG base-directory rules: a relative XDG_STATE_HOME is to be ignored.
std::filesystem::path DefaultDirectory() {
    const std::filesystem::path stateHome{Variable("XDG_STATE_HOME")};
    if (stateHome.is_absolute()) {
        return stateHome / "tessaly" / "sim";
    }
    const std::filesystem::path home{Variable("HOME")};
    if (home.is_absolute()) {
        return home / ".local" / "state" / "tessaly" / "sim";
    }
    return {};
}

std::filesystem::path Directory() {
    const std::string_view chosen = Variable("TESSALY_SIM_DIR");
    return chosen.empty() ? DefaultDirectory() : std::filesystem::path{chosen};
}

std::chrono::microseconds WriteCycle() {
    const auto micros = ParseDecimal(Variable("TESSALY_SIM_TWR_US"));
    if (!micros || *micros > static_cast<std::uint64_t>(SimSettings::kLongestWriteCycle.count())) {
        return SimSettings::kDefaultWriteCycle;
    }
    return std::chrono::microseconds{static_cast<std::int64_t>(*micros)};
}

std::uint32_t BusKhz() {
    const auto khz = ParseDecimal(Variable("TESSALY_SIM_BUS_KHZ"));
    return khz && *khz <= std::numeric_limits<std::uint32_t>::max() ? static_cast<std::uint32_t>(*khz) : 0;
}

}  // namespace

SimSettings SimSettings::FromEnvironment() {
    SimSettings settings;
    settings.directory = Directory();
    settings.writeCycle = WriteCycle();
    settings.busKhz = BusKhz();
    settings.faults = FaultPlan::Parse(Variable("TESSALY_SIM_FAULTS"));
    return settings;
}

}  // namespace tessaly
