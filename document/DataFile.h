#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "document/ByteStream.h"
#include "engine/Unit.h"

namespace tessaly {

inline constexpr std::size_t kDataFileHeaderSize = 60;
inline constexpr std::size_t kDataFileNameSize = 48;
// The longest name a header or record keeps; the 48th byte is always zero.
inline constexpr std::size_t kDataFileNameLength = kDataFileNameSize - 1;

// Header byte 4. Files whose units all fit keep the original layout with 16-bit record lengths; a unit of
// 65536 bytes or more is only representable with 32-bit lengths, which format 2 uses for every record.
inline constexpr std::uint8_t kDataFileFormat = 1;
inline constexpr std::uint8_t kDataFileWideFormat = 2;

// Reader and writer of the binary data file: a 60-byte header naming the current unit, then one record
// (name, length, bytes) per unit. Companion files and exported .tdf files share the format. The stream
// stays the caller's.
class DataFile {
  public:
    explicit DataFile(ByteStream& file) : file_(file) {}

    bool StartWrite();
    void SetHeaderBytes(std::uint8_t byte4, std::uint8_t byte5);
    void SetUnitCount(std::uint16_t count);
    bool SetUnitName(const char* name);
    std::string GetUnitName() const;
    bool WriteHeader();
    bool ReadHeader();

    bool WriteUnit(const Unit& unit);
    // Reads the unit's record into its data image. False, the image unchanged, when no record has the
    // unit's name; false too when the file ends inside the records.
    bool ReadUnit(Unit& unit);

    // With matching off, ReadUnit takes the first record whatever its name.
    void SetMatchByName(bool match) { matchByName_ = match; }

  private:
    bool WideRecords() const { return header_[4] == kDataFileWideFormat; }
    std::size_t RecordHeaderSize() const;
    std::uint16_t UnitCount() const;

    ByteStream& file_;
    bool matchByName_ = true;
    std::array<std::uint8_t, kDataFileHeaderSize> header_{};
};

// The format a file holding these units needs.
std::uint8_t DataFileFormatFor(const Unit* const* units, std::uint16_t count);

// Writes a whole data file: the header naming currentName, then a record per unit in order. False when the
// header or any record could not be written.
bool WriteDataFile(ByteStream& file, const Unit* const* units, std::uint16_t count, const char* currentName);

// Names compare as a data file keeps them: on their first 47 bytes.
bool SameStoredName(std::string_view a, std::string_view b);

}  // namespace tessaly
