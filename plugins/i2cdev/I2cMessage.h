#pragma once

#include <cstdint>

namespace tessaly {

// One segment of an I2C transfer: a start (or repeated start), the 7-bit address with the direction bit,
// then length bytes written from data or read into it.
struct I2cMessage {
    std::uint8_t address = 0;
    bool read = false;
    std::uint8_t* data = nullptr;
    std::uint16_t length = 0;
};

}  // namespace tessaly
