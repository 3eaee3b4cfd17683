#pragma once

#include <chrono>
#include <cstdint>

#include "plugins/sim/ChipModel.h"

namespace tessaly {

// How long transfers take on a bus clocked at busKhz kilohertz; a clock of 0 makes every transfer instant.
// One bit lasts 1000 / busKhz microseconds and a time is rounded up to whole microseconds.
//
// I2C: bits = 1 + 9 * (1 + addressBytes + dataBytes): the start condition, then the device-address byte,
//      the word-address bytes and the data bytes, each 8 bits and an acknowledge. The stop condition and a
//      read's repeated start with its second device-address byte are left out, so the sum is the least
//      time any I2C programmer needs.
// SPI: bits = 8 * (1 + addressBytes + dataBytes): the command byte, the address bytes and the data bytes;
//      SPI has neither start conditions nor acknowledges.
std::chrono::microseconds TransferTime(const ChipModel& chip, std::uint32_t dataBytes, std::uint32_t busKhz);

// A transfer the chip refuses (busy with its write cycle, absent) ends early: on I2C after the start and
// the device-address byte that is not acknowledged (10 bits), on SPI after the status-register read that
// shows the chip busy (command and status byte, 16 bits).
std::chrono::microseconds RefusedTransferTime(const ChipModel& chip, std::uint32_t busKhz);

}  // namespace tessaly
