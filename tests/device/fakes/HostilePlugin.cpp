// A programmer plug-in that breaks every promise the host must not rely on: lengths larger than asked
// for, texts without a terminator, statuses outside 0 to 4, a port list that fills its buffer and
// ends in the middle of a name. It writes only within the buffers it is given.
#include <array>
#include <cstdint>
#include <cstring>

#include "device/PluginInterface.h"

namespace {

constexpr std::array<char, 4096> kUnterminated = [] {
    std::array<char, 4096> text{};
    text.fill('H');
    return text;
}();

constexpr char kPortPattern[] = "hostile0\0hostile1\0";
constexpr std::uint32_t kSession = 0x77;

}  // namespace

extern "C" {

int32_t PGM_GetDescription(const char** description) {
    *description = kUnterminated.data();
    return -1;
}

int32_t PGM_GetVersion(const char** version) {
    *version = kUnterminated.data();
    return 0;
}

int32_t PGM_EnumeratePorts(char* buffer, uint32_t size) {
    for (uint32_t i = 0; i < size; ++i) {
        buffer[i] = kPortPattern[i % (sizeof kPortPattern - 1)];
    }
    // Ends inside a name, and claims more than the buffer holds.
    if (size > 0 && buffer[size - 1] == '\0') {
        buffer[size - 1] = 'x';
    }
    return static_cast<int32_t>(size + 100);
}

int32_t PGM_GetGlobalFacility(uint32_t, uint32_t* value) {
    if (value != nullptr) {
        *value = 1;
    }
    return 7;
}

int32_t PGM_GetSessionFacility(uint32_t, uint32_t code, uint32_t* value) {
    if (code == PGM_SESSION_BLOCK_SIZE) {
        *value = 0xFFFFFFFF;
        return 0;
    }
    *value = 1;
    return code == PGM_SESSION_CHIP_PRESENT ? -1 : 0;
}

int32_t PGM_SetSessionFacility(uint32_t, uint32_t, uint32_t) {
    return 7;
}

uint32_t PGM_Attach(const char*) {
    return kSession;
}

int32_t PGM_Detach(uint32_t) {
    return 0;
}

int32_t PGM_GetFirmware(uint32_t, char* buffer, uint32_t* length) {
    std::memset(buffer, 'F', *length);
    *length = 0xFFFFFFFF;
    return 0;
}

int32_t PGM_Reset(uint32_t) {
    return -1;
}

int32_t PGM_Read(uint32_t, uint32_t, uint8_t* buffer, uint32_t* length) {
    std::memset(buffer, 0xAB, *length);
    *length = *length * 4 + 1;
    return 0;
}

int32_t PGM_Write(uint32_t, uint32_t, const uint8_t*, uint32_t* length) {
    *length = 0xFFFFFFFF;
    return 7;
}

}  // extern "C"
