#include "document/DataFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tessaly {
namespace {

constexpr std::uint8_t kSignature[4] = {'V', 'R', 'D', 0};
constexpr std::size_t kUnitCountOffset = 10;
constexpr std::size_t kUnitNameOffset = 12;
constexpr std::size_t kNarrowLengthSize = 2;
constexpr std::size_t kWideLengthSize = 4;
constexpr std::uint32_t kLargestNarrowRecord = 0xFFFF;

std::string_view StoredName(std::string_view name) {
    return name.substr(0, kDataFileNameLength);
}

// The text of a zero-padded name field. Its last byte is the terminator, even where a damaged file has
// something else there.
std::string NameField(const std::uint8_t* field) {
    const auto* text = reinterpret_cast<const char*>(field);
    return std::string(text, strnlen(text, kDataFileNameLength));
}

void PutName(std::uint8_t* field, std::string_view name) {
    std::memset(field, 0, kDataFileNameSize);
    const std::string_view kept = StoredName(name);
    std::memcpy(field, kept.data(), kept.size());
}

std::uint32_t GetLittleEndian(const std::uint8_t* bytes, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

void PutLittleEndian(std::uint8_t* bytes, std::size_t size, std::uint32_t value) {
    for (std::size_t i = 0; i < size; ++i, value >>= 8) {
        bytes[i] = static_cast<std::uint8_t>(value);
    }
}

}  // namespace

bool SameStoredName(std::string_view a, std::string_view b) {
    return StoredName(a) == StoredName(b);
}

std::size_t DataFile::RecordHeaderSize() const {
    return kDataFileNameSize + (WideRecords() ? kWideLengthSize : kNarrowLengthSize);
}

std::uint16_t DataFile::UnitCount() const {
    return static_cast<std::uint16_t>(GetLittleEndian(&header_[kUnitCountOffset], 2));
}

bool DataFile::StartWrite() {
    header_.fill(0);
    std::memcpy(header_.data(), kSignature, sizeof kSignature);
    return file_.Truncate();
}

void DataFile::SetHeaderBytes(std::uint8_t byte4, std::uint8_t byte5) {
    header_[4] = byte4;
    header_[5] = byte5;
}

void DataFile::SetUnitCount(std::uint16_t count) {
    PutLittleEndian(&header_[kUnitCountOffset], 2, count);
}

bool DataFile::SetUnitName(const char* name) {
    if (name == nullptr) {
        return false;
    }
    PutName(&header_[kUnitNameOffset], name);
    return true;
}

std::string DataFile::GetUnitName() const {
    return NameField(&header_[kUnitNameOffset]);
}

bool DataFile::WriteHeader() {
    return file_.Seek(0) && file_.Write(header_.data(), header_.size()) == header_.size() &&
           file_.Position() == kDataFileHeaderSize;
}

bool DataFile::ReadHeader() {
    return file_.Seek(0) && file_.Read(header_.data(), header_.size()) == header_.size() &&
           std::memcmp(header_.data(), kSignature, sizeof kSignature) == 0;
}

bool DataFile::WriteUnit(const Unit& unit) {
    std::uint64_t end = 0;
    if (!file_.SeekEnd(end) || end == 0 || unit.dataImage == nullptr) {
        return false;
    }
    const std::uint32_t size = WideRecords() ? unit.ImageSize() : unit.ImageSize() & kLargestNarrowRecord;
    std::vector<std::uint8_t> record(RecordHeaderSize(), 0);
    PutName(record.data(), unit.name != nullptr ? unit.name : "");
    PutLittleEndian(&record[kDataFileNameSize], record.size() - kDataFileNameSize, size);
    if (file_.Write(record.data(), record.size()) != record.size() ||
        file_.Write(unit.dataImage, size) != size) {
        return false;
    }
    return true;
}

bool DataFile::ReadUnit(Unit& unit) {
    if (!file_.Seek(kDataFileHeaderSize) || file_.Position() != kDataFileHeaderSize) {
        return false;
    }
    const std::string unitName = unit.name != nullptr ? unit.name : "";
    std::vector<std::uint8_t> record(RecordHeaderSize());
    for (std::uint16_t i = 0; i < UnitCount(); ++i) {
        if (file_.Read(record.data(), record.size()) != record.size()) {
            return false;
        }
        const std::uint32_t length =
            GetLittleEndian(&record[kDataFileNameSize], record.size() - kDataFileNameSize);
        if (!matchByName_ || SameStoredName(NameField(record.data()), unitName)) {
            const std::uint32_t count = std::min(unit.ImageSize(), length);
            if (unit.dataImage == nullptr || file_.Read(unit.dataImage, count) != count) {
                return false;
            }
            return true;
        }
        if (!file_.Seek(file_.Position() + length)) {
            return false;
        }
    }
    return false;
}

std::uint8_t DataFileFormatFor(const Unit* const* units, std::uint16_t count) {
    for (std::uint16_t i = 0; i < count; ++i) {
        if (units[i]->ImageSize() > kLargestNarrowRecord) {
            return kDataFileWideFormat;
        }
    }
    return kDataFileFormat;
}

bool WriteDataFile(ByteStream& file, const Unit* const* units, std::uint16_t count, const char* currentName) {
    DataFile data(file);
    if (!data.StartWrite()) {
        return false;
    }
    data.SetHeaderBytes(DataFileFormatFor(units, count), 0);
    data.SetUnitCount(count);
    data.SetUnitName(currentName != nullptr ? currentName : "");
    if (!data.WriteHeader()) {
        return false;
    }
    for (std::uint16_t i = 0; i < count; ++i) {
        if (!data.WriteUnit(*units[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace tessaly
