#include "text/MessageFormat.h"

namespace tessaly {

std::string FormatMessage(std::string_view format, std::initializer_list<std::string_view> arguments) {
    std::string out;
    auto next = arguments.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        const char following = i + 1 < format.size() ? format[i + 1] : '\0';
        if (c == '%' && following == '%') {
            out += '%';
            ++i;
        } else if (c == '%' && (following == 's' || following == 'd')) {
            if (next != arguments.end()) {
                out += *next++;
            }
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace tessaly
