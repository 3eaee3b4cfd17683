#include "engine/ScriptFields.h"

#include <algorithm>

namespace tessaly {

int CountFields(std::string_view text, char separator) {
    return static_cast<int>(std::count(text.begin(), text.end(), separator)) + 1;
}

std::string_view GetField(std::string_view text, char separator, int index) {
    if (index < 0) {
        return {};
    }
    std::size_t begin = 0;
    for (int i = 0; i < index; ++i) {
        const std::size_t next = text.find(separator, begin);
        if (next == std::string_view::npos) {
            return {};
        }
        begin = next + 1;
    }
    const std::size_t stop = text.find(separator, begin);
    const std::size_t length = stop == std::string_view::npos ? std::string_view::npos : stop - begin;
    return TrimWhiteSpace(text.substr(begin, length));
}

}  // namespace tessaly
