#pragma once

#include <cstdint>

namespace tessaly {

// The fill byte the desktop gives new memory images: the MemoryInit value of the user's profile store,
// or its default. The command line fills with the same byte, so that a template without saved values
// shows the same values in both.
std::uint8_t DesktopMemoryInit();

}  // namespace tessaly
