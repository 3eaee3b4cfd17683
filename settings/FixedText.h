#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace tessaly {

// A zero-terminated byte text in a fixed buffer of Capacity bytes, the terminator included. Every byte
// after the text is zero, so the buffer always holds a terminator and two texts are equal exactly when
// their buffers are.
template <std::size_t Capacity>
class FixedText {
    static_assert(Capacity > 0, "a text needs room for its terminator");

  public:
    static constexpr std::size_t kCapacity = Capacity;

    // Takes text up to its first zero byte, cut to Capacity - 1 bytes.
    void Set(std::string_view text) {
        text = text.substr(0, text.find('\0'));
        text = text.substr(0, Capacity - 1);
        bytes_.fill('\0');
        text.copy(bytes_.data(), text.size());
    }

    std::string_view View() const { return bytes_.data(); }
    const char* CStr() const { return bytes_.data(); }

    friend bool operator==(const FixedText&, const FixedText&) = default;

  private:
    std::array<char, Capacity> bytes_{};
};

}  // namespace tessaly
