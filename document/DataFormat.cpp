#include "document/DataFormat.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <utility>

namespace tessaly {
namespace {

constexpr std::array<std::pair<std::string_view, DataFormat>, 8> kExtensions = {{
    {".hex", DataFormat::IntelHex},
    {".ihex", DataFormat::IntelHex},
    {".srec", DataFormat::SRecord},
    {".mot", DataFormat::SRecord},
    {".s19", DataFormat::SRecord},
    {".s28", DataFormat::SRecord24},
    {".s37", DataFormat::SRecord32},
    {".bin", DataFormat::RawBinary},
}};

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

}  // namespace

DataFormat DataFormatOfPath(std::string_view path) {
    const std::size_t dot = path.find_last_of("./");
    if (dot == std::string_view::npos || path[dot] != '.') {
        return DataFormat::DataFile;
    }
    const std::string extension = LowerCase(path.substr(dot));
    for (const auto& [name, format] : kExtensions) {
        if (extension == name) {
            return format;
        }
    }
    return DataFormat::DataFile;
}

}  // namespace tessaly
