// The twelve entry points of the chip simulator plug-in. They check the host's arguments, find the
// session and hand the work to SimChip; nothing thrown inside gets past them.

#include <cstring>
#include <memory>
#include <string>

#include "plugins/sim/ChipModel.h"
#include "plugins/sim/FileChipMemory.h"
#include "plugins/sim/PretendDriver.h"
#include "plugins/sim/SessionRegistry.h"
#include "plugins/sim/SimChip.h"
#include "plugins/sim/SimSettings.h"
#include "plugins/sim/SimStatus.h"

// The library is built with hidden visibility; the header's declarations are its only exports.
#pragma GCC visibility push(default)
#include "device/PluginInterface.h"
#pragma GCC visibility pop

namespace tessaly {

namespace {

constexpr char kDescription[] = "Chip simulator: I2C and SPI EEPROMs kept in files, no hardware needed";
constexpr char kVersion[] = "Tessaly chip simulator " TESSALY_SIM_VERSION;
constexpr std::uint32_t kIoDelayMin = 1;
constexpr std::uint32_t kIoDelayMax = 10;

// The one piece of library-wide state. A function-local static so that each loaded copy of the library
// has its own, created on first use.
SessionRegistry& Sessions() {
    static SessionRegistry registry;
    return registry;
}

std::int32_t Status(SimStatus status) {
    return static_cast<std::int32_t>(status);
}

std::int32_t Status(bool succeeded, SimStatus failure) {
    return succeeded ? Status(SimStatus::Ok) : Status(failure);
}

// Runs body and turns anything it throws (memory, threads, file system) into failure.
template <typename Result, typename Body>
Result Guarded(Result failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

std::string FirmwareText(const ChipModel& chip) {
    return "sim " TESSALY_SIM_VERSION ", " + std::string(chip.name) + ": " + std::to_string(chip.capacity) +
           " bytes, " + std::to_string(chip.pageSize) + "-byte pages";
}

std::uint32_t Attach(const char* port) {
    const ChipModel* chip = FindChipModel({port, ::strnlen(port, kLongestChipName + 1)});
    if (chip == nullptr) {
        return 0;
    }
    const SimSettings settings = SimSettings::FromEnvironment();
    if (settings.directory.empty()) {
        return 0;
    }
    auto memory =
        FileChipMemory::Open(settings.directory / (std::string(chip->name) + ".bin"), chip->capacity);
    if (memory == nullptr) {
        return 0;
    }
    return Sessions().Add(std::make_shared<SimChip>(*chip, std::move(memory), settings));
}

std::int32_t GlobalFacility(std::uint32_t code, std::uint32_t* value) {
    const SimSettings settings = SimSettings::FromEnvironment();
    const PretendDriver driver(settings.directory);
    switch (code) {
        case PGM_GLOBAL_DRIVER_INSTALLED:
            *value = !settings.faults.NoDriver() && driver.IsInstalled() ? 1 : 0;
            return Status(SimStatus::Ok);
        case PGM_GLOBAL_CAN_MANAGE_DRIVER:
        case PGM_GLOBAL_IO_DELAY_RANGE:
            return Status(SimStatus::Ok);
        case PGM_GLOBAL_INSTALL_DRIVER:
            return Status(driver.Install(), SimStatus::AccessError);
        case PGM_GLOBAL_UNINSTALL_DRIVER:
            return Status(driver.Uninstall(), SimStatus::AccessError);
        case PGM_GLOBAL_IO_DELAY_MIN:
            *value = kIoDelayMin;
            return Status(SimStatus::Ok);
        case PGM_GLOBAL_IO_DELAY_MAX:
            *value = kIoDelayMax;
            return Status(SimStatus::Ok);
        default:
            return Status(SimStatus::InvalidRequest);
    }
}

bool NeedsValue(std::uint32_t code) {
    return code == PGM_GLOBAL_DRIVER_INSTALLED || code == PGM_GLOBAL_IO_DELAY_MIN ||
           code == PGM_GLOBAL_IO_DELAY_MAX;
}

std::int32_t GetSessionFacility(SimChip& chip, std::uint32_t code, std::uint32_t& value) {
    switch (code) {
        case PGM_SESSION_HARDWARE_IDENTIFIED:
            value = chip.IsIdentified() ? 1 : 0;
            return Status(SimStatus::Ok);
        case PGM_SESSION_HARDWARE_PLUGGED:
            value = chip.IsPlugged() ? 1 : 0;
            return Status(SimStatus::Ok);
        case PGM_SESSION_CHIP_PRESENT:
            value = chip.IsChipPresent() ? 1 : 0;
            return Status(SimStatus::Ok);
        case PGM_SESSION_BLOCK_SIZE:
            value = chip.Model().pageSize;
            return Status(SimStatus::Ok);
        default:
            return Status(SimStatus::InvalidRequest);
    }
}

// Power and addressing take 0 or 1 only, so that a host passing something else learns of its mistake.
std::int32_t SetSessionFacility(SimChip& chip, std::uint32_t code, std::uint32_t value) {
    const bool isSwitch = value <= 1;
    switch (code) {
        case PGM_SESSION_POWER:
            if (isSwitch) {
                chip.SetPower(value == 1);
            }
            return Status(isSwitch, SimStatus::InvalidRequest);
        case PGM_SESSION_WIDE_ADDRESSING:
            if (isSwitch) {
                chip.SetWideAddressing(value == 1);
            }
            return Status(isSwitch, SimStatus::InvalidRequest);
        case PGM_SESSION_IO_DELAY:
            // A simulated bus keeps its clock whatever the delay; the factor is only checked.
            return Status(value >= kIoDelayMin && value <= kIoDelayMax, SimStatus::InvalidRequest);
        default:
            return Status(SimStatus::InvalidRequest);
    }
}

// Copies as much of the text as the buffer holds with its terminator.
std::int32_t CopyFirmware(const SimChip& chip, char* buffer, std::uint32_t& length) {
    const std::uint32_t size = length;
    length = 0;
    if (size == 0) {
        return Status(SimStatus::InvalidRequest);
    }
    const std::string text = FirmwareText(chip.Model());
    const std::size_t count = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    length = static_cast<std::uint32_t>(count);
    return Status(SimStatus::Ok);
}

template <typename Transfer>
std::int32_t RunTransfer(std::uint32_t session, std::uint32_t* length, Transfer&& transfer) {
    if (length == nullptr) {
        return Status(SimStatus::InvalidRequest);
    }
    const std::uint32_t wanted = *length;
    *length = 0;
    const std::shared_ptr<SimChip> chip = Sessions().Find(session);
    if (chip == nullptr) {
        return Status(SimStatus::InvalidRequest);
    }
    const TransferResult result = transfer(*chip, wanted);
    *length = result.count;
    return Status(result.status);
}

}  // namespace

}  // namespace tessaly

using tessaly::Guarded;
using tessaly::SimChip;
using tessaly::SimStatus;
using tessaly::Status;

extern "C" {

int32_t PGM_GetDescription(const char** description) {
    if (description == nullptr) {
        return Status(SimStatus::InvalidRequest);
    }
    *description = tessaly::kDescription;
    return Status(SimStatus::Ok);
}

int32_t PGM_GetVersion(const char** version) {
    if (version == nullptr) {
        return Status(SimStatus::InvalidRequest);
    }
    *version = tessaly::kVersion;
    return Status(SimStatus::Ok);
}

// Lists whole names only: a name that does not fit ends the list.
int32_t PGM_EnumeratePorts(char* buffer, uint32_t size) {
    if (buffer == nullptr) {
        return 0;
    }
    std::uint32_t used = 0;
    for (const tessaly::ChipModel& chip : tessaly::ChipModels()) {
        if (size - used <= chip.name.size()) {
            break;
        }
        std::memcpy(buffer + used, chip.name.data(), chip.name.size());
        used += static_cast<std::uint32_t>(chip.name.size());
        buffer[used++] = '\0';
    }
    return static_cast<int32_t>(used);
}

int32_t PGM_GetGlobalFacility(uint32_t code, uint32_t* value) {
    if (value == nullptr && tessaly::NeedsValue(code)) {
        return Status(SimStatus::InvalidRequest);
    }
    return Guarded(Status(SimStatus::InvalidRequest), [&] { return tessaly::GlobalFacility(code, value); });
}

int32_t PGM_GetSessionFacility(uint32_t session, uint32_t code, uint32_t* value) {
    if (value == nullptr) {
        return Status(SimStatus::InvalidRequest);
    }
    return Guarded(Status(SimStatus::InvalidRequest), [&] {
        const std::shared_ptr<SimChip> chip = tessaly::Sessions().Find(session);
        return chip == nullptr ? Status(SimStatus::InvalidRequest)
                               : tessaly::GetSessionFacility(*chip, code, *value);
    });
}

int32_t PGM_SetSessionFacility(uint32_t session, uint32_t code, uint32_t value) {
    return Guarded(Status(SimStatus::InvalidRequest), [&] {
        const std::shared_ptr<SimChip> chip = tessaly::Sessions().Find(session);
        return chip == nullptr ? Status(SimStatus::InvalidRequest)
                               : tessaly::SetSessionFacility(*chip, code, value);
    });
}

uint32_t PGM_Attach(const char* port) {
    if (port == nullptr) {
        return 0;
    }
    return Guarded(std::uint32_t{0}, [&] { return tessaly::Attach(port); });
}

// Ends a transfer the session may still be running on another thread before letting the session go.
int32_t PGM_Detach(uint32_t session) {
    return Guarded(Status(SimStatus::InvalidRequest), [&] {
        const std::shared_ptr<SimChip> chip = tessaly::Sessions().Remove(session);
        if (chip != nullptr) {
            chip->Reset();
        }
        return Status(chip != nullptr, SimStatus::InvalidRequest);
    });
}

int32_t PGM_GetFirmware(uint32_t session, char* buffer, uint32_t* length) {
    if (buffer == nullptr || length == nullptr) {
        return Status(SimStatus::InvalidRequest);
    }
    return Guarded(Status(SimStatus::InvalidRequest), [&] {
        const std::shared_ptr<SimChip> chip = tessaly::Sessions().Find(session);
        if (chip == nullptr) {
            *length = 0;
            return Status(SimStatus::InvalidRequest);
        }
        return tessaly::CopyFirmware(*chip, buffer, *length);
    });
}

int32_t PGM_Reset(uint32_t session) {
    return Guarded(Status(SimStatus::InvalidRequest), [&] {
        const std::shared_ptr<SimChip> chip = tessaly::Sessions().Find(session);
        if (chip != nullptr) {
            chip->Reset();
        }
        return Status(chip != nullptr, SimStatus::InvalidRequest);
    });
}

int32_t PGM_Read(uint32_t session, uint32_t address, uint8_t* buffer, uint32_t* length) {
    return Guarded(Status(SimStatus::InvalidRequest), [&] {
        return tessaly::RunTransfer(session, length, [&](SimChip& chip, std::uint32_t wanted) {
            return chip.Read(address, buffer, wanted);
        });
    });
}

int32_t PGM_Write(uint32_t session, uint32_t address, const uint8_t* buffer, uint32_t* length) {
    return Guarded(Status(SimStatus::InvalidRequest), [&] {
        return tessaly::RunTransfer(session, length, [&](SimChip& chip, std::uint32_t wanted) {
            return chip.Write(address, buffer, wanted);
        });
    });
}

}  // extern "C"
