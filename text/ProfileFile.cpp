#include "text/ProfileFile.h"

#include <algorithm>

#include <fstream>
#include <optional>
#include <system_error>
#include <utility>

#include "text/AsciiText.h"
#include "text/ReadFileBounded.h"
#include "text/WriteFileAtomically.h"

namespace tessaly {

namespace {

// One line of a profile text: [begin, contentEnd) is the line without its end, [contentEnd, end) the
// LF or CRLF that ends it (empty for a last line without one).
struct LineSpan {
    std::size_t begin = 0;
    std::size_t contentEnd = 0;
    std::size_t end = 0;
};

LineSpan LineAt(std::string_view text, std::size_t begin) {
    const std::size_t feed = text.find('\n', begin);
    if (feed == std::string_view::npos) {
        return {begin, text.size(), text.size()};
    }
    const bool crlf = feed > begin && text[feed - 1] == '\r';
    return {begin, crlf ? feed - 1 : feed, feed + 1};
}

std::string_view Content(std::string_view text, const LineSpan& line) {
    return text.substr(line.begin, line.contentEnd - line.begin);
}

enum class LineKind { kOther, kSection, kEntry };

struct ProfileLine {
    LineKind kind = LineKind::kOther;
    std::string_view name;
    std::string_view value;
};

ProfileLine ClassifyLine(std::string_view content) {
    const std::string_view line = TrimWhiteSpace(content);
    if (line.empty() || line.front() == ';') {
        return {};
    }
    if (line.front() == '[') {
        const std::size_t close = line.find(']');
        if (close == std::string_view::npos) {
            return {};
        }
        return {LineKind::kSection, TrimWhiteSpace(line.substr(1, close - 1)), {}};
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return {};
    }
    return {LineKind::kEntry, TrimWhiteSpace(line.substr(0, equals)),
            TrimWhiteSpace(line.substr(equals + 1))};
}

bool IsSection(const ProfileLine& line, std::string_view section) {
    return line.kind == LineKind::kSection && EqualsIgnoreCase(line.name, section);
}

bool IsEntry(const ProfileLine& line, std::string_view key) {
    return line.kind == LineKind::kEntry && !key.empty() && EqualsIgnoreCase(line.name, key);
}

std::string_view RemoveQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string_view RemoveTrailingBlanks(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

std::string FitBuffer(std::string_view text, std::size_t bufferSize) {
    if (bufferSize == 0) {
        return {};
    }
    return std::string(text.substr(0, bufferSize - 1));
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool IsWritableSection(std::string_view section) {
    return !section.empty() && TrimWhiteSpace(section) == section &&
           section.find(']') == std::string_view::npos && !HasLineBreak(section);
}

bool IsWritableKey(std::string_view key) {
    return !key.empty() && TrimWhiteSpace(key) == key && key.front() != '[' && key.front() != ';' &&
           key.find('=') == std::string_view::npos && !HasLineBreak(key);
}

std::string_view LineEndOf(std::string_view text) {
    const LineSpan first = LineAt(text, 0);
    return (first.end - first.contentEnd == 2) ? "\r\n" : "\n";
}

std::string AppendSection(std::string_view text, std::string_view section, std::string_view entry,
                          std::string_view lineEnd) {
    std::string result(text);
    if (!result.empty() && result.back() != '\n') {
        result += lineEnd;
    }
    result.append("[").append(section).append("]").append(lineEnd);
    result.append(entry).append(lineEnd);
    return result;
}

std::string InsertAfter(std::string_view text, const LineSpan& line, std::string_view entry,
                        std::string_view lineEnd) {
    std::string result(text.substr(0, line.end));
    if (line.end == line.contentEnd) {
        result += lineEnd;
    }
    result.append(entry).append(lineEnd);
    result.append(text.substr(line.end));
    return result;
}

std::string ReplaceContent(std::string_view text, const LineSpan& line, std::string_view entry) {
    std::string result(text.substr(0, line.begin));
    result.append(entry);
    result.append(text.substr(line.contentEnd));
    return result;
}

std::optional<LineSpan> FindSection(std::string_view text, std::string_view section) {
    for (std::size_t position = 0; position < text.size();) {
        const LineSpan line = LineAt(text, position);
        if (IsSection(ClassifyLine(Content(text, line)), section)) {
            return line;
        }
        position = line.end;
    }
    return std::nullopt;
}

// What a section holds for one key: the first line that sets it, and the section's last non-blank line
// (the header when there is none), after which a new key goes.
struct SectionScan {
    std::optional<LineSpan> entry;
    LineSpan lastFilled;
};

SectionScan ScanSection(std::string_view text, const LineSpan& header, std::string_view key) {
    SectionScan scan{std::nullopt, header};
    for (std::size_t position = header.end; position < text.size();) {
        const LineSpan line = LineAt(text, position);
        const ProfileLine parsed = ClassifyLine(Content(text, line));
        if (parsed.kind == LineKind::kSection) {
            break;
        }
        if (IsEntry(parsed, key)) {
            scan.entry = line;
            break;
        }
        if (!TrimWhiteSpace(Content(text, line)).empty()) {
            scan.lastFilled = line;
        }
        position = line.end;
    }
    return scan;
}

// The profile text with the key set; edits are made by offset so all other bytes stay as they were.
std::string SetProfileString(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value) {
    const std::string_view lineEnd = LineEndOf(text);
    std::string entry(key);
    entry.append("=").append(value);
    const std::optional<LineSpan> header = FindSection(text, section);
    if (!header) {
        return AppendSection(text, section, entry, lineEnd);
    }
    const SectionScan scan = ScanSection(text, *header, key);
    return scan.entry ? ReplaceContent(text, *scan.entry, entry)
                      : InsertAfter(text, scan.lastFilled, entry, lineEnd);
}

}  // namespace

ProfileFile::ProfileFile(std::string text) : text_(std::move(text)) {}

bool ProfileFile::Load(const std::filesystem::path& path) {
    return ReadFileBounded(path, kMaxFileBytes, text_) == ReadStatus::kRead;
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue, std::size_t bufferSize) const {
    const std::optional<LineSpan> header = FindSection(text_, section);
    const std::optional<LineSpan> entry = header ? ScanSection(text_, *header, key).entry : std::nullopt;
    if (!entry) {
        return FitBuffer(RemoveTrailingBlanks(defaultValue), bufferSize);
    }
    return FitBuffer(RemoveQuotes(ClassifyLine(Content(text_, *entry)).value), bufferSize);
}

std::string ReadProfileString(const std::filesystem::path& path, std::string_view section,
                              std::string_view key, std::string_view defaultValue, std::size_t bufferSize) {
    ProfileFile profile;
    profile.Load(path);
    return profile.GetString(section, key, defaultValue, bufferSize);
}

bool WriteProfileString(const std::filesystem::path& path, std::string_view section, std::string_view key,
                        std::string_view value) {
    if (!IsWritableSection(section) || !IsWritableKey(key) || HasLineBreak(value)) {
        return false;
    }
    std::string text;
    // One byte over the limit tells a file that is too big from one that fits exactly.
    const ReadStatus status = ReadFileBounded(path, ProfileFile::kMaxFileBytes + 1, text);
    if (status == ReadStatus::kFailed || text.size() > ProfileFile::kMaxFileBytes) {
        return false;
    }
    return WriteFileAtomically(path, SetProfileString(text, section, key, value));
}

}  // namespace tessaly
