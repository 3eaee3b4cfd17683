#pragma once

#include <string_view>

namespace tessaly {

// The file formats a unit's image is exported to and imported from. S-record files differ only in the
// width of the addresses they are written with; all of them are read alike.
enum class DataFormat {
    DataFile,   // .tdf and any name not listed below: the template data file
    IntelHex,   // .hex, .ihex
    SRecord,    // .srec, .mot, .s19: 16-bit addresses where they fit
    SRecord24,  // .s28: S2 records
    SRecord32,  // .s37: S3 records
    RawBinary,  // .bin: the plain bytes from the unit's first address on
};

// The format a file name's extension stands for, compared without regard to case.
DataFormat DataFormatOfPath(std::string_view path);

}  // namespace tessaly
