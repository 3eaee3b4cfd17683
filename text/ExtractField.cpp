#include "text/ExtractField.h"

#include "text/AsciiText.h"

namespace tessaly {

bool ExtractField(std::string_view text, char separator, std::size_t n, std::string& field) {
    std::size_t start = 0;
    for (std::size_t skipped = 0; skipped < n; ++skipped) {
        const std::size_t next = text.find(separator, start);
        if (next == std::string_view::npos) {
            return false;
        }
        start = next + 1;
    }
    const std::size_t end = text.find(separator, start);
    const std::size_t length = (end == std::string_view::npos) ? text.size() - start : end - start;
    field.assign(TrimWhiteSpace(text.substr(start, length)));
    return true;
}

}  // namespace tessaly
