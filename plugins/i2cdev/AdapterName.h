#pragma once

#include <cstdint>
#include <string>

#include "plugins/i2cdev/SystemPaths.h"

namespace tessaly {

// The adapter's name from sysfs ("MCP2221 usb-i2c bridge", "bcm2835 (i2c@7e804000)"), or an empty text
// when no name file can be read. Only the first line counts, at most kMaxLength bytes of it, and bytes
// outside printable ASCII become '?', so odd contents cannot reach a text shown to the user.
std::string ReadAdapterName(const SystemPaths& paths, std::uint32_t adapter);

constexpr std::size_t kMaxAdapterNameLength = 63;

}  // namespace tessaly
