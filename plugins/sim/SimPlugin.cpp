// The twelve entry points of the chip simulator plug-in. They check the host's arguments, find the
// session and hand the work to SimChip; nothing thrown inside gets past them.

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "plugins/common/ExceptionGuard.h"
#include "plugins/common/PluginStatus.h"
#include "plugins/common/PluginTexts.h"
#include "plugins/common/SessionEntryPoints.h"
#include "plugins/common/SessionTable.h"
#include "plugins/sim/ChipModel.h"
#include "plugins/sim/FileChipMemory.h"
#include "plugins/sim/PretendDriver.h"
#include "plugins/sim/SimChip.h"
#include "plugins/sim/SimSettings.h"

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

SessionTable<SimChip>& Chips() {
    return Sessions<SimChip>();
}

std::int32_t Status(PluginStatus status) {
    return ToInt(status);
}

std::int32_t Status(bool succeeded, PluginStatus failure) {
    return succeeded ? Status(PluginStatus::Ok) : Status(failure);
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
    return Chips().Add(std::make_shared<SimChip>(*chip, std::move(memory), settings));
}

std::int32_t GlobalFacility(std::uint32_t code, std::uint32_t* value) {
    const SimSettings settings = SimSettings::FromEnvironment();
    const PretendDriver driver(settings.directory);
    switch (code) {
        case PGM_GLOBAL_DRIVER_INSTALLED:
            *value = !settings.faults.NoDriver() && driver.IsInstalled() ? 1 : 0;
            return Status(PluginStatus::Ok);
        case PGM_GLOBAL_CAN_MANAGE_DRIVER:
        case PGM_GLOBAL_IO_DELAY_RANGE:
            return Status(PluginStatus::Ok);
        case PGM_GLOBAL_INSTALL_DRIVER:
            return Status(driver.Install(), PluginStatus::HardwareError);
        case PGM_GLOBAL_UNINSTALL_DRIVER:
            return Status(driver.Uninstall(), PluginStatus::HardwareError);
        case PGM_GLOBAL_IO_DELAY_MIN:
            *value = kIoDelayMin;
            return Status(PluginStatus::Ok);
        case PGM_GLOBAL_IO_DELAY_MAX:
            *value = kIoDelayMax;
            return Status(PluginStatus::Ok);
        default:
            return Status(PluginStatus::InvalidRequest);
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
            return Status(PluginStatus::Ok);
        case PGM_SESSION_HARDWARE_PLUGGED:
            value = chip.IsPlugged() ? 1 : 0;
            return Status(PluginStatus::Ok);
        case PGM_SESSION_CHIP_PRESENT:
            value = chip.IsChipPresent() ? 1 : 0;
            return Status(PluginStatus::Ok);
        case PGM_SESSION_BLOCK_SIZE:
            value = chip.Model().pageSize;
            return Status(PluginStatus::Ok);
        default:
            return Status(PluginStatus::InvalidRequest);
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
            return Status(isSwitch, PluginStatus::InvalidRequest);
        case PGM_SESSION_WIDE_ADDRESSING:
            if (isSwitch) {
                chip.SetWideAddressing(value == 1);
            }
            return Status(isSwitch, PluginStatus::InvalidRequest);
        case PGM_SESSION_IO_DELAY:
            // A simulated bus keeps its clock whatever the delay; the factor is only checked.
            return Status(value >= kIoDelayMin && value <= kIoDelayMax, PluginStatus::InvalidRequest);
        default:
            return Status(PluginStatus::InvalidRequest);
    }
}

template <typename Transfer>
std::int32_t RunTransfer(std::uint32_t session, std::uint32_t* length, Transfer&& transfer) {
    if (length == nullptr) {
        return Status(PluginStatus::InvalidRequest);
    }
    const std::uint32_t wanted = *length;
    *length = 0;
    const std::shared_ptr<SimChip> chip = Chips().Find(session);
    if (chip == nullptr) {
        return Status(PluginStatus::InvalidRequest);
    }
    const TransferResult result = transfer(*chip, wanted);
    *length = result.count;
    return Status(result.status);
}

}  // namespace

}  // namespace tessaly

using tessaly::Guarded;
using tessaly::PluginStatus;
using tessaly::SimChip;
using tessaly::Status;
// Only detaching and resetting are shared with the other plug-ins: here the plug-in rather than the chip
// answers the facilities, a transfer refuses a null buffer even for 0 bytes, and the firmware text refuses
// one without clearing the length.
using EntryPoints = tessaly::SessionEntryPoints<SimChip>;

extern "C" {

int32_t PGM_GetDescription(const char** description) {
    if (description == nullptr) {
        return Status(PluginStatus::InvalidRequest);
    }
    *description = tessaly::kDescription;
    return Status(PluginStatus::Ok);
}

int32_t PGM_GetVersion(const char** version) {
    if (version == nullptr) {
        return Status(PluginStatus::InvalidRequest);
    }
    *version = tessaly::kVersion;
    return Status(PluginStatus::Ok);
}

int32_t PGM_EnumeratePorts(char* buffer, uint32_t size) {
    return Guarded<int32_t>(0, [&] {
        std::vector<std::string> names;
        for (const tessaly::ChipModel& chip : tessaly::ChipModels()) {
            names.emplace_back(chip.name);
        }
        return static_cast<int32_t>(tessaly::PackNames(names, buffer, size));
    });
}

int32_t PGM_GetGlobalFacility(uint32_t code, uint32_t* value) {
    if (value == nullptr && tessaly::NeedsValue(code)) {
        return Status(PluginStatus::InvalidRequest);
    }
    return Guarded(Status(PluginStatus::InvalidRequest),
                   [&] { return tessaly::GlobalFacility(code, value); });
}

int32_t PGM_GetSessionFacility(uint32_t session, uint32_t code, uint32_t* value) {
    if (value == nullptr) {
        return Status(PluginStatus::InvalidRequest);
    }
    return Guarded(Status(PluginStatus::InvalidRequest), [&] {
        const std::shared_ptr<SimChip> chip = tessaly::Chips().Find(session);
        return chip == nullptr ? Status(PluginStatus::InvalidRequest)
                               : tessaly::GetSessionFacility(*chip, code, *value);
    });
}

int32_t PGM_SetSessionFacility(uint32_t session, uint32_t code, uint32_t value) {
    return Guarded(Status(PluginStatus::InvalidRequest), [&] {
        const std::shared_ptr<SimChip> chip = tessaly::Chips().Find(session);
        return chip == nullptr ? Status(PluginStatus::InvalidRequest)
                               : tessaly::SetSessionFacility(*chip, code, value);
    });
}

uint32_t PGM_Attach(const char* port) {
    if (port == nullptr) {
        return 0;
    }
    return Guarded(std::uint32_t{0}, [&] { return tessaly::Attach(port); });
}

int32_t PGM_Detach(uint32_t session) {
    return EntryPoints::DetachEndingTransfer(session);
}

int32_t PGM_GetFirmware(uint32_t session, char* buffer, uint32_t* length) {
    if (buffer == nullptr || length == nullptr) {
        return Status(PluginStatus::InvalidRequest);
    }
    return Guarded(Status(PluginStatus::InvalidRequest), [&] {
        const std::shared_ptr<SimChip> chip = tessaly::Chips().Find(session);
        if (chip == nullptr) {
            *length = 0;
            return Status(PluginStatus::InvalidRequest);
        }
        const std::uint32_t size = *length;
        return Status(tessaly::CopyText(tessaly::FirmwareText(chip->Model()), {buffer, size}, *length));
    });
}

int32_t PGM_Reset(uint32_t session) {
    return EntryPoints::Reset(session);
}

int32_t PGM_Read(uint32_t session, uint32_t address, uint8_t* buffer, uint32_t* length) {
    return Guarded(Status(PluginStatus::InvalidRequest), [&] {
        return tessaly::RunTransfer(session, length, [&](SimChip& chip, std::uint32_t wanted) {
            return chip.Read(address, buffer, wanted);
        });
    });
}

int32_t PGM_Write(uint32_t session, uint32_t address, const uint8_t* buffer, uint32_t* length) {
    return Guarded(Status(PluginStatus::InvalidRequest), [&] {
        return tessaly::RunTransfer(session, length, [&](SimChip& chip, std::uint32_t wanted) {
            return chip.Write(address, buffer, wanted);
        });
    });
}

}  // extern "C"
