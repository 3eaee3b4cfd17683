#include "text/MessageTable.h"

#include <unistd.h>

#include <cstring>

#include "text/BuiltInMessage.h"

namespace tessaly {

namespace {

constexpr std::size_t kFallbackPageSize = 4096;

constinit MessageTable processTable;

std::size_t PageSize() {
    const long size = ::sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<std::size_t>(size) : kFallbackPageSize;
}

std::string ReplacePairs(std::string_view text, char escaped, char replacement) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == escaped) {
            result += replacement;
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

}  // namespace

const char* MessageTable::Text(std::uint16_t index) const {
    if (index >= kMessageCount) {
        return "";
    }
    const char* text = slots_[index].load(std::memory_order_acquire);
    return text != nullptr ? text : kBuiltInMessages[index].english;
}

void MessageTable::Create() {
    Free();
    arena_ = std::make_unique<std::pmr::monotonic_buffer_resource>(PageSize());
    Reset();
}

void MessageTable::Reset() {
    for (std::uint16_t index = 0; index < kMessageCount; ++index) {
        Store(index, UnescapeText(kBuiltInMessages[index].english));
    }
}

bool MessageTable::Store(std::uint16_t index, std::string_view text) {
    if (index >= kMessageCount || !arena_) {
        return false;
    }
    const char* current = slots_[index].load(std::memory_order_relaxed);
    if (current != nullptr && std::string_view(current) == text) {
        return true;
    }
    char* copy = static_cast<char*>(arena_->allocate(text.size() + 1, alignof(char)));
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    slots_[index].store(copy, std::memory_order_release);
    return true;
}

void MessageTable::Free() {
    for (std::atomic<const char*>& slot : slots_) {
        slot.store(nullptr, std::memory_order_release);
    }
    arena_.reset();
}

MessageTable& ProcessMessageTable() {
    return processTable;
}

const char* GetMessageText(std::uint16_t index) {
    return processTable.Text(index);
}

std::string UnescapeText(std::string_view text) {
    return ReplacePairs(ReplacePairs(ReplacePairs(text, 'r', '\r'), 'n', '\n'), 't', '\t');
}

std::string FormatMessageKey(std::uint16_t index) {
    if (index >= kMessageCount) {
        return {};
    }
    const BuiltInMessage& message = kBuiltInMessages[index];
    return "Msg[" + std::to_string(message.group) + "-" + std::to_string(message.index) + "]";
}

}  // namespace tessaly
