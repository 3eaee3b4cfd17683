#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "plugins/common/PluginStatus.h"

namespace tessaly {

// Texts a plug-in hands the host in the host's buffers.

// Copies names, each with its terminating zero, one after another into buffer while whole names fit;
// returns the bytes used. A name is never cut, and a null buffer takes nothing.
std::uint32_t PackNames(std::span<const std::string> names, char* buffer, std::uint32_t size);

// Copies text into buffer, cut to fit with its terminator; length is the copied text's length on return
// (0 on failure). An empty buffer is refused.
PluginStatus CopyText(std::string_view text, std::span<char> buffer, std::uint32_t& length);

}  // namespace tessaly
