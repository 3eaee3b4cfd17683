// A programmer plug-in whose every answer comes from the fuzzer's input: statuses (including values outside
// the documented scale), out values, lengths larger than asked, texts without terminators, port lists of
// any length, read data. Once the input is used up it answers success with zeros, so a session can always
// be closed again.
//
// Unlike a real plug-in it keeps its answers in file-scope state: the fuzzer feeds the one loaded copy
// through FuzzedPlugin_Feed before each run.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "device/PluginInterface.h"

namespace {

// The host reads at most this many bytes behind a text pointer; the texts are exactly this long, so a read
// past the limit leaves the allocation.
constexpr std::size_t kTextBuffer = 1024;

struct Answers {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t used = 0;

    std::uint8_t Byte() { return used < size ? data[used++] : 0; }

    std::uint32_t Word() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value = (value << 8) | Byte();
        }
        return value;
    }

    // Mostly success; otherwise a failure that may lie outside 0 to 4.
    std::int32_t Status() {
        const std::uint8_t code = Byte();
        return code < 0xA0 ? 0 : static_cast<std::int32_t>(static_cast<std::int8_t>(code - 0x80));
    }

    // Mostly the length asked for; sometimes less, or any number at all.
    std::uint32_t Length(std::uint32_t asked) {
        const std::uint8_t choice = Byte();
        if (choice < 0xC0) {
            return asked;
        }
        return choice < 0xE0 ? asked / 2 : Word();
    }

    void Fill(void* buffer, std::size_t count) {
        auto* bytes = static_cast<std::uint8_t*>(buffer);
        for (std::size_t i = 0; i < count; ++i) {
            bytes[i] = Byte();
        }
    }
};

Answers answers;
char* description = nullptr;
char* version = nullptr;

// A text in a buffer of kTextBuffer bytes, terminated only when the input says so; null when it says so.
const char* Text(char*& buffer) {
    if (buffer == nullptr) {
        buffer = static_cast<char*>(std::malloc(kTextBuffer));
    }
    const std::uint8_t choice = answers.Byte();
    if (choice == 0xFF) {
        return nullptr;
    }
    answers.Fill(buffer, kTextBuffer);
    if (choice < 0xF0) {
        buffer[choice % kTextBuffer] = '\0';
    }
    return buffer;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void FuzzedPlugin_Feed(const std::uint8_t* data, std::size_t size) {
    answers = Answers{data, size, 0};
}

int32_t PGM_GetDescription(const char** text) {
    *text = Text(description);
    return answers.Status();
}

int32_t PGM_GetVersion(const char** text) {
    *text = Text(version);
    return answers.Status();
}

int32_t PGM_EnumeratePorts(char* buffer, uint32_t size) {
    const std::uint32_t length = answers.Length(size);
    answers.Fill(buffer, length < size ? length : size);
    return static_cast<int32_t>(answers.Length(length));
}

int32_t PGM_GetGlobalFacility(uint32_t, uint32_t* value) {
    if (value != nullptr) {
        *value = answers.Word();
    }
    return answers.Status();
}

int32_t PGM_GetSessionFacility(uint32_t, uint32_t, uint32_t* value) {
    *value = answers.Word();
    return answers.Status();
}

int32_t PGM_SetSessionFacility(uint32_t, uint32_t, uint32_t) {
    return answers.Status();
}

uint32_t PGM_Attach(const char*) {
    return answers.Byte() == 0xFF ? 0 : 1 + answers.Byte();
}

int32_t PGM_Detach(uint32_t) {
    return answers.Status();
}

int32_t PGM_GetFirmware(uint32_t, char* buffer, uint32_t* length) {
    const std::uint32_t size = *length;
    const std::uint32_t written = answers.Length(size);
    answers.Fill(buffer, written < size ? written : size);
    *length = answers.Length(written);
    return answers.Status();
}

int32_t PGM_Reset(uint32_t) {
    return answers.Status();
}

int32_t PGM_Read(uint32_t, uint32_t, uint8_t* buffer, uint32_t* length) {
    const std::uint32_t asked = *length;
    const std::uint32_t moved = answers.Length(asked);
    answers.Fill(buffer, moved < asked ? moved : asked);
    *length = moved;
    return answers.Status();
}

int32_t PGM_Write(uint32_t, uint32_t, const uint8_t*, uint32_t* length) {
    *length = answers.Length(*length);
    return answers.Status();
}

}  // extern "C"
