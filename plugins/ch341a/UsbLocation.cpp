#include "plugins/ch341a/UsbLocation.h"

#include <charconv>

namespace tessaly {
namespace {

// A decimal number up to 255 without sign or leading zeros, ending at one of the separators or the end.
std::optional<std::uint8_t> TakeNumber(std::string_view& text, std::string_view separators) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [next, error] = std::from_chars(text.data(), end, value);
    const std::size_t digits = static_cast<std::size_t>(next - text.data());
    if (error != std::errc() || value > 255 || (digits > 1 && text[0] == '0') ||
        (next != end && separators.find(*next) == std::string_view::npos)) {
        return std::nullopt;
    }
    text.remove_prefix(digits);
    return static_cast<std::uint8_t>(value);
}

}  // namespace

std::string UsbLocation::Format() const {
    std::string text = std::to_string(bus);
    char separator = '-';
    for (const std::uint8_t port : ports) {
        text += separator + std::to_string(port);
        separator = '.';
    }
    return text;
}

std::optional<UsbLocation> UsbLocation::Parse(std::string_view text) {
    UsbLocation location;
    const auto bus = TakeNumber(text, "-");
    if (!bus || text.empty()) {
        return std::nullopt;
    }
    location.bus = *bus;
    char expected = '-';
    while (!text.empty()) {
        if (text[0] != expected || location.ports.size() == kMaxDepth) {
            return std::nullopt;
        }
        text.remove_prefix(1);
        const auto port = TakeNumber(text, ".");
        if (!port || *port == 0) {
            return std::nullopt;
        }
        location.ports.push_back(*port);
        expected = '.';
    }
    return location.ports.empty() ? std::nullopt : std::optional(location);
}

}  // namespace tessaly
