#pragma once

#include <string>
#include <string_view>

namespace tessaly {

// Entry bodies are stored with the two 4-bit halves of every byte exchanged; the exchange is its own
// inverse.
std::string ExchangeNibbles(std::string_view text);
inline std::string DecodeBody(std::string_view stored) {
    return ExchangeNibbles(stored);
}
inline std::string EncodeBody(std::string_view plain) {
    return ExchangeNibbles(plain);
}

// A whole template as plain text: lines end with LF instead of CR LF and every entry body is decoded.
// Bytes that would not survive the way back (backslash, lone CR or LF, "=" inside a body, white space at a
// body's ends) are written as \\ or \xHH, so EncodeScript(DecodeScript(file)) == file for any bytes.
std::string DecodeScript(std::string_view script);

// The inverse: LF or CR LF separated plain lines, with bodies in plain text, back to a template file.
// A backslash that starts neither \\ nor \xHH stands for itself, so hand-written text needs no escapes.
std::string EncodeScript(std::string_view plain);

}  // namespace tessaly
