#include "engine/ScriptCodec.h"

#include <vector>

#include "engine/ScriptFields.h"
#include "text/AsciiText.h"

namespace tessaly {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// An entry line cut where the reader cuts it: name "=" body "=" rest, with the body's surrounding white
// space kept apart from its core, which alone is encoded.
struct EntryParts {
    std::string_view name;
    std::string_view lead;
    std::string_view core;
    std::string_view trail;
    std::string_view rest;  // from the second "=" on, or empty
};

bool IsTitleLine(std::string_view line) {
    const std::string_view text = TrimWhiteSpace(line);
    return !text.empty() && text.front() == '[' && text.find(']') == text.size() - 1;
}

bool SplitEntry(std::string_view line, EntryParts& parts) {
    const std::size_t equals = line.find('=');
    if (IsTitleLine(line) || equals == std::string_view::npos) {
        return false;
    }
    parts.name = line.substr(0, equals);
    std::string_view body = line.substr(equals + 1);
    const std::size_t second = body.find('=');
    if (second != std::string_view::npos) {
        parts.rest = body.substr(second);
        body = body.substr(0, second);
    }
    const std::string_view core = TrimWhiteSpace(body);
    const std::size_t leadLength =
        core.empty() ? body.size() : static_cast<std::size_t>(core.data() - body.data());
    parts.lead = body.substr(0, leadLength);
    parts.core = core;
    parts.trail = body.substr(std::min(body.size(), leadLength + core.size()));
    return true;
}

void AppendHex(std::string& out, char c) {
    const auto byte = static_cast<unsigned char>(c);
    out += "\\x";
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

std::string Escape(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r' || c == '\n') {
            AppendHex(out, c);
        } else {
            out += c;
        }
    }
    return out;
}

// A decoded body core additionally escapes "=" and white space at its two ends, which would otherwise move
// the body's boundaries on the way back.
std::string EscapeCore(std::string_view core) {
    std::string out;
    for (std::size_t i = 0; i < core.size(); ++i) {
        const char c = core[i];
        const bool atEnd = i == 0 || i + 1 == core.size();
        if (c == '=' || (atEnd && IsWhiteSpace(c))) {
            AppendHex(out, c);
        } else {
            out += Escape(std::string_view(&core[i], 1));
        }
    }
    return out;
}

std::string EscapeEveryByte(std::string_view text) {
    std::string out;
    for (const char c : text) {
        AppendHex(out, c);
    }
    return out;
}

std::string Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
                   HexDigitValue(text[i + 2]) >= 0 && HexDigitValue(text[i + 3]) >= 0) {
            out += static_cast<char>(HexDigitValue(text[i + 2]) * 16 + HexDigitValue(text[i + 3]));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string EncodeLine(std::string_view plainLine) {
    EntryParts parts;
    if (!SplitEntry(plainLine, parts)) {
        return Unescape(plainLine);
    }
    return Unescape(parts.name) + "=" + Unescape(parts.lead) + EncodeBody(Unescape(parts.core)) +
           Unescape(parts.trail) + Unescape(parts.rest);
}

std::string DecodeLine(std::string_view line) {
    EntryParts parts;
    std::string plain;
    if (SplitEntry(line, parts)) {
        plain = Escape(parts.name) + "=" + Escape(parts.lead) + EscapeCore(DecodeBody(parts.core)) +
                Escape(parts.trail) + Escape(parts.rest);
    } else {
        plain = Escape(line);
    }
    // A decoded body can change how the line reads (a "]" that makes it look like a title, say); such a line
    // is written byte by byte, which always reads back as itself.
    return EncodeLine(plain) == line ? plain : EscapeEveryByte(line);
}

std::vector<std::string_view> SplitLines(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> lines;
    std::size_t begin = 0;
    for (std::size_t end; (end = text.find(separator, begin)) != std::string_view::npos;
         begin = end + separator.size()) {
        lines.push_back(text.substr(begin, end - begin));
    }
    lines.push_back(text.substr(begin));
    return lines;
}

}  // namespace

std::string ExchangeNibbles(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        c = static_cast<char>(((byte << 4) | (byte >> 4)) & 0xFF);
    }
    return out;
}

std::string DecodeScript(std::string_view script) {
    std::string plain;
    bool first = true;
    for (const std::string_view line : SplitLines(script, "\r\n")) {
        if (!first) {
            plain += '\n';
        }
        first = false;
        plain += DecodeLine(line);
    }
    return plain;
}

std::string EncodeScript(std::string_view plain) {
    std::string script;
    bool first = true;
    for (std::string_view line : SplitLines(plain, "\n")) {
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!first) {
            script += "\r\n";
        }
        first = false;
        script += EncodeLine(line);
    }
    return script;
}

}  // namespace tessaly
