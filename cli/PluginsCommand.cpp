#include <cctype>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "cli/Commands.h"
#include "device/PluginHost.h"

namespace tessaly {
namespace {

constexpr std::string_view kArrow = "->";

bool IsPluginExtension(std::string_view text) {
    return text.size() == 3 && text[0] == '.' && std::tolower(static_cast<unsigned char>(text[1])) == 's' &&
           std::tolower(static_cast<unsigned char>(text[2])) == 'o';
}

// Where the file name of a plug-in list line "file->description" ends: at the first arrow after ".so" (in
// any case, as plug-in file names are matched); npos when there is none.
std::size_t FileNameEnd(std::string_view line) {
    for (std::size_t arrow = line.find(kArrow); arrow != std::string_view::npos;
         arrow = line.find(kArrow, arrow + 1)) {
        if (arrow >= 3 && IsPluginExtension(line.substr(arrow - 3, 3))) {
            return arrow;
        }
    }
    return std::string_view::npos;
}

}  // namespace

// The plug-ins the desktop offers, one "file<TAB>description" line each.
CliResult RunPlugins(const CommandLine&) {
    std::string list;
    EnumeratePlugins(list);
    std::istringstream lines(list);
    std::string out;
    for (std::string line; std::getline(lines, line);) {
        const std::size_t nameEnd = FileNameEnd(line);
        if (nameEnd != std::string_view::npos) {
            out.append(line, 0, nameEnd).append(1, '\t');
            out.append(line, nameEnd + kArrow.size()).append(1, '\n');
        }
    }
    std::cout << out;
    return CliResult::Ok();
}

}  // namespace tessaly
