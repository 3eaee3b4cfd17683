#include "cli/HexDump.h"

#include <cstdio>

namespace tessaly {

std::string FormatHexDump(std::uint32_t firstAddress, const std::uint8_t* bytes, std::uint32_t count) {
    std::string text;
    // "XXXXX:" plus " XX" per byte plus the line break, for the longest lines there are.
    text.reserve((count / kHexDumpBytesPerLine + 1) * (7 + 3 * kHexDumpBytesPerLine));
    char piece[16];
    for (std::uint32_t offset = 0; offset < count; ++offset) {
        if (offset % kHexDumpBytesPerLine == 0) {
            if (offset != 0) {
                text += '\n';
            }
            std::snprintf(piece, sizeof piece, "%04X:", static_cast<unsigned>(firstAddress + offset));
            text += piece;
        }
        std::snprintf(piece, sizeof piece, " %02X", static_cast<unsigned>(bytes[offset]));
        text += piece;
    }
    if (count != 0) {
        text += '\n';
    }
    return text;
}

}  // namespace tessaly
