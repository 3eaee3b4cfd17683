#include "engine/ParseError.h"

#include "text/MessageId.h"
#include "text/MessageTable.h"

namespace tessaly {
namespace {

// The four patterns around the message text are fixed; only the messages themselves are translated.
std::string ErrorText(std::uint32_t code) {
    const char* message = GetMessageText(static_cast<std::uint16_t>(code + 1));
    if (code == 0) {
        return "Success!";
    }
    if (code <= 4) {
        return std::string("TEMPLATE_BLOCK ") + message;
    }
    if (code <= 9) {
        return std::string("TEMPLATE_ENTRY ") + message;
    }
    return "Other error";
}

}  // namespace

bool FormatParseReport(std::uint32_t code, std::string_view path, std::uint32_t line, std::string& report) {
    if (code > static_cast<std::uint32_t>(ParseError::Other)) {
        return false;
    }
    report = std::string(GetMessageText(msg::kScriptErrorInFile)) + " " + std::string(path) + ":\n" +
             ErrorText(code) + " (at line " + std::to_string(line) + ")";
    return true;
}

}  // namespace tessaly
