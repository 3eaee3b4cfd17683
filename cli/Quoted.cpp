#include "cli/Quoted.h"

namespace tessaly {
namespace {

// A UTF-8 character is a starting byte and at most three continuation bytes (10xxxxxx).
constexpr std::size_t kMostContinuationBytes = 3;

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Where the character after text's first count characters begins; text.size() when there is none. A byte
// that cannot continue a character (at the start, or after three continuation bytes) counts as one, so that
// bytes that are no UTF-8 still count.
std::size_t EndOfCharacters(std::string_view text, std::size_t count) {
    std::size_t characters = 0;
    std::size_t continuations = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i > 0 && IsContinuationByte(text[i]) && continuations < kMostContinuationBytes) {
            ++continuations;
            continue;
        }
        if (characters++ == count) {
            return i;
        }
        continuations = 0;
    }
    return text.size();
}

}  // namespace

// Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) on a one-character literal + a temporary
// std::string.
std::string Quoted(std::string_view text) {
    const std::size_t kept = EndOfCharacters(text, kMostQuotedCharacters);
    std::string quoted;
    quoted.reserve(kept + 2);
    quoted += '\'';
    quoted += text.substr(0, kept);
    if (kept == text.size()) {
        quoted += '\'';
        return quoted;
    }
    quoted += "...' (";
    quoted += std::to_string(text.size());
    quoted += " bytes)";
    return quoted;
}

}  // namespace tessaly
