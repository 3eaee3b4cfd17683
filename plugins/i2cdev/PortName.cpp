#include "plugins/i2cdev/PortName.h"

#include <bit>
#include <cctype>

namespace tessaly {
namespace {

constexpr std::string_view kPrefix = "i2c-";

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

// Reads a decimal number without leading zeros (a lone "0" is fine) from the front of text.
std::optional<std::uint32_t> TakeDecimal(std::string_view& text) {
    std::size_t count = 0;
    std::uint64_t value = 0;
    while (count < text.size() && std::isdigit(static_cast<unsigned char>(text[count])) && count < 9) {
        value = value * 10 + static_cast<std::uint64_t>(text[count] - '0');
        ++count;
    }
    if (count == 0 || (count > 1 && text[0] == '0')) {
        return std::nullopt;
    }
    text.remove_prefix(count);
    return static_cast<std::uint32_t>(value);
}

std::optional<std::uint8_t> TakeTwoHexDigits(std::string_view& text) {
    if (text.size() < 2 || !std::isxdigit(static_cast<unsigned char>(text[0])) ||
        !std::isxdigit(static_cast<unsigned char>(text[1]))) {
        return std::nullopt;
    }
    const auto digit = [](char c) {
        return std::isdigit(static_cast<unsigned char>(c))
                   ? c - '0'
                   : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
    };
    const int value = digit(text[0]) * 16 + digit(text[1]);
    text.remove_prefix(2);
    return static_cast<std::uint8_t>(value);
}

bool IsListedPageSize(std::uint32_t size) {
    return size >= 2 && size <= PortName::kMaxPageSize && std::has_single_bit(size);
}

}  // namespace

std::optional<PortName> PortName::Parse(std::string_view text) {
    if (text.size() > kMaxLength || !StartsWithIgnoringCase(text, kPrefix)) {
        return std::nullopt;
    }
    text.remove_prefix(kPrefix.size());
    PortName port;
    const std::optional<std::uint32_t> adapter = TakeDecimal(text);
    if (!adapter || text.empty() || text.front() != ':') {
        return std::nullopt;
    }
    text.remove_prefix(1);
    const std::optional<std::uint8_t> address = TakeTwoHexDigits(text);
    if (!address || *address < kLowestAddress || *address > kHighestAddress) {
        return std::nullopt;
    }
    port.adapter = *adapter;
    port.address = *address;
    if (text.empty()) {
        return port;
    }
    if (text.front() != '/') {
        return std::nullopt;
    }
    text.remove_prefix(1);
    const std::optional<std::uint32_t> page = TakeDecimal(text);
    if (!page || !text.empty() || !IsListedPageSize(*page)) {
        return std::nullopt;
    }
    port.pageSize = *page;
    return port;
}

std::string PortName::Format() const {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text = std::string(kPrefix) + std::to_string(adapter) + ':';
    text += kHex[address >> 4];
    text += kHex[address & 0x0F];
    if (pageSize != kDefaultPageSize) {
        text += '/' + std::to_string(pageSize);
    }
    return text;
}

}  // namespace tessaly
