#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "document/DataFormat.h"
#include "engine/Unit.h"

namespace tessaly {

enum class RecordFileError : std::uint8_t {
    None,
    Unreadable,   // the file could not be read, or is far larger than any unit's file
    BadLine,      // a malformed line or a checksum error; where is the line
    OutsideUnit,  // a byte outside the unit's addresses; where is its device address
};

struct RecordFileResult {
    RecordFileError error = RecordFileError::None;
    std::uint32_t where = 0;
    std::string detail;  // the reader's own words for a bad line

    explicit operator bool() const { return error == RecordFileError::None; }
};

// The largest file taken for import: room for a 64 KiB unit in any of the formats, with comments.
inline constexpr std::size_t kLargestRecordFile = 16u << 20;

// The unit's image as an Intel HEX, S-record or raw binary file, written by the srecord library. Addresses
// are device addresses; a raw binary starts with the byte at the unit's first address. False when the
// file could not be made.
bool WriteRecordFile(const Unit& unit, DataFormat format, std::string& contents);

// Reads such a file with the srecord library and stores every byte it gives into the unit's image; bytes it
// does not give keep their values. A file with any fault stores nothing. A raw binary starts at the unit's
// first address.
RecordFileResult ReadRecordFile(Unit& unit, std::string_view contents, DataFormat format);

// The fault as one line naming the file and its line or the address.
std::string DescribeRecordFileError(const RecordFileResult& result, const Unit& unit, std::string_view path);

}  // namespace tessaly
