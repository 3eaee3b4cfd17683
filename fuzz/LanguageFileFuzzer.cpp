// Loads arbitrary bytes as a language file and switches to the language it declares, checking that every
// message then holds a terminated text of at most 127 bytes.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "text/LanguageList.h"
#include "text/MessageId.h"
#include "text/MessageTable.h"

namespace {

constexpr std::size_t kLongestText = 127;

const std::filesystem::path& Directory() {
    static const std::filesystem::path directory = [] {
        const auto path =
            std::filesystem::temp_directory_path() / ("tessaly-lng-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return directory;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ofstream(Directory() / "fuzz.lng", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    tessaly::MessageTable table;
    tessaly::LanguageList languages(table);
    languages.Load({Directory()});
    for (std::size_t i = 0; i < languages.Count(); ++i) {
        const tessaly::LanguageEntry* entry = languages.Entry(i);
        if (entry == nullptr || !entry->hasNames) {
            continue;
        }
        languages.SetLanguage(entry->name);
        for (std::uint16_t m = 0; m < tessaly::kMessageCount; ++m) {
            if (std::strlen(table.Text(m)) > kLongestText) {
                std::abort();
            }
        }
    }
    languages.Free();
    return 0;
}
