#include "plugins/common/PluginTexts.h"

#include <algorithm>
#include <cstring>

namespace tessaly {

std::uint32_t PackNames(std::span<const std::string> names, char* buffer, std::uint32_t size) {
    if (buffer == nullptr) {
        return 0;
    }
    std::uint32_t used = 0;
    for (const std::string& name : names) {
        const std::size_t needed = name.size() + 1;
        if (needed > size - used) {
            break;
        }
        std::memcpy(buffer + used, name.c_str(), needed);
        used += static_cast<std::uint32_t>(needed);
    }
    return used;
}

PluginStatus CopyText(std::string_view text, std::span<char> buffer, std::uint32_t& length) {
    length = 0;
    if (buffer.empty()) {
        return PluginStatus::InvalidRequest;
    }
    const std::size_t count = std::min(text.size(), buffer.size() - 1);
    std::memcpy(buffer.data(), text.data(), count);
    buffer[count] = '\0';
    length = static_cast<std::uint32_t>(count);
    return PluginStatus::Ok;
}

}  // namespace tessaly
