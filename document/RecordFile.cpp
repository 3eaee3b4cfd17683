#include "document/RecordFile.h"

#include <srecord/input/file/binary.h>
#include <srecord/input/file/intel.h>
#include <srecord/output/file/binary.h>
#include <srecord/output/file/intel.h>
#include <srecord/quit.h>
#include <srecord/record.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "document/MemoryFile.h"

namespace srecord {

// Debian's libsrecord-dev ships the S-record classes in the library but not their headers. These are the
// factory functions the library exports, declared as the library's own headers declare the others.
class input_file_motorola {
  public:
    static input_file::pointer create(const std::string& file_name);
};

class output_file_motorola {
  public:
    static output::pointer create(const std::string& file_name);
};

}  // namespace srecord

namespace tessaly {
namespace {

// The library reports a fault in a file to its quit object, whose exit must not return; by default it ends
// the process. This one keeps the message and leaves the library by an exception that ReadRecords catches
// at once, so that a damaged file ends the read and nothing else.
class QuitOnFault : public srecord::quit {
  public:
    struct Fault {};

    const std::string& Message() const { return message_; }

  protected:
    void message_v(const char* format, va_list arguments) override {
        char text[512];
        std::vsnprintf(text, sizeof text, format, arguments);
        message_ = text;
    }
    void exit(int) override { throw Fault{}; }

  private:
    std::string message_;
};

srecord::input::pointer OpenReader(const std::string& path, DataFormat format) {
    switch (format) {
        case DataFormat::IntelHex:
            return srecord::input_file_intel::create(path);
        case DataFormat::RawBinary:
            return srecord::input_file_binary::create(path);
        default:
            return srecord::input_file_motorola::create(path);
    }
}

srecord::output::pointer OpenWriter(const std::string& path, DataFormat format) {
    switch (format) {
        case DataFormat::IntelHex:
            return srecord::output_file_intel::create(path);
        case DataFormat::RawBinary:
            return srecord::output_file_binary::create(path);
        default:
            break;
    }
    srecord::output::pointer writer = srecord::output_file_motorola::create(path);
    if (format == DataFormat::SRecord24 || format == DataFormat::SRecord32) {
        writer->address_length_set(format == DataFormat::SRecord24 ? 3 : 4);
    }
    return writer;
}

RecordFileResult Outside(std::uint64_t address) {
    return {RecordFileError::OutsideUnit,
            static_cast<std::uint32_t>(std::min<std::uint64_t>(address, UINT32_MAX)),
            {}};
}

// Copies one data record into the staged image; base is added to its address (raw binary files count from
// the unit's first address).
RecordFileResult StoreRecord(const srecord::record& record, const Unit& unit, std::uint32_t base,
                             std::vector<std::uint8_t>& image) {
    if (record.get_length() == 0) {
        return {};
    }
    const std::uint64_t first = std::uint64_t{base} + record.get_address();
    const std::uint64_t pastLast = first + record.get_length();
    if (first < unit.start) {
        return Outside(first);
    }
    if (pastLast > std::uint64_t{unit.end} + 1) {
        return Outside(std::max<std::uint64_t>(first, std::uint64_t{unit.end} + 1));
    }
    std::copy_n(record.get_data(), record.get_length(), image.begin() + (first - unit.start));
    return {};
}

// The library's location reads "FILE: LINE" (a byte offset in hex for binary files) and starts its
// message; the line goes to where, the rest of the message to detail.
RecordFileResult BadLine(const srecord::input& reader, const std::string& message) {
    const std::string file = reader.filename();
    const std::string location = reader.filename_and_line();
    RecordFileResult result{RecordFileError::BadLine, 0, message};
    if (location.size() > file.size() + 2) {
        result.where =
            static_cast<std::uint32_t>(std::strtoul(location.c_str() + file.size() + 2, nullptr, 0));
    }
    if (message.starts_with(location + ": ")) {
        result.detail = message.substr(location.size() + 2);
    }
    return result;
}

RecordFileResult ReadRecords(srecord::input& reader, const QuitOnFault& quit, const Unit& unit,
                             std::uint32_t base, std::vector<std::uint8_t>& image) {
    RecordFileResult result;
    try {
        srecord::record record;
        while (result && reader.read(record)) {
            if (record.get_type() == srecord::record::type_data) {
                result = StoreRecord(record, unit, base, image);
            }
        }
    } catch (const QuitOnFault::Fault&) {
        return BadLine(reader, quit.Message());
    }
    return result;
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

}  // namespace

bool WriteRecordFile(const Unit& unit, DataFormat format, std::string& contents) {
    MemoryFile file;
    if (!file.IsOpen()) {
        return false;
    }
    {
        // The library writes the end record and closes the file when the writer goes. Its writers take no
        // quit object; writing to memory fails only when memory does.
        const srecord::output::pointer writer = OpenWriter(file.Path(), format);
        writer->write_data(format == DataFormat::RawBinary ? 0 : unit.start, unit.dataImage,
                           unit.ImageSize());
    }
    return file.ReadAll(contents);
}

RecordFileResult ReadRecordFile(Unit& unit, std::string_view contents, DataFormat format) {
    MemoryFile file;
    if (contents.size() > kLargestRecordFile || !file.IsOpen() || !file.Write(contents)) {
        return {RecordFileError::Unreadable, 0, {}};
    }
    std::vector<std::uint8_t> image(unit.dataImage, unit.dataImage + unit.ImageSize());
    // The quit object outlives the reader, which may report a fault while it closes its file.
    QuitOnFault quit;
    const srecord::input::pointer reader = OpenReader(file.Path(), format);
    reader->set_quit(quit);
    const std::uint32_t base = format == DataFormat::RawBinary ? unit.start : 0;
    const RecordFileResult result = ReadRecords(*reader, quit, unit, base, image);
    if (result) {
        std::copy(image.begin(), image.end(), unit.dataImage);
    }
    return result;
}

std::string DescribeRecordFileError(const RecordFileResult& result, const Unit& unit, std::string_view path) {
    const std::string file(path);
    switch (result.error) {
        case RecordFileError::None:
            return {};
        case RecordFileError::Unreadable:
            return "cannot read " + file;
        case RecordFileError::BadLine:
            return file + ", line " + std::to_string(result.where) + ": " + result.detail +
                   "; nothing was imported";
        case RecordFileError::OutsideUnit:
            break;
    }
    return file + ": address " + Hex(result.where) + " lies outside unit " + (unit.name ? unit.name : "") +
           " (" + Hex(unit.start) + "-" + Hex(unit.end) + "); nothing was imported";
}

}  // namespace tessaly
