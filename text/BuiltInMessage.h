#pragma once

#include <array>
#include <cstdint>

#include "text/MessageId.h"

namespace tessaly {

// One row of the built-in message table. The key pair (group, index) names the message in a language
// file as "Msg[group-index]"; the English text is the built-in text and the fallback for every language.
struct BuiltInMessage {
    std::uint8_t group;
    std::uint8_t index;
    const char* english;
};

// Row m is message m. Never changed at run time.
extern const std::array<BuiltInMessage, kMessageCount> kBuiltInMessages;

}  // namespace tessaly
