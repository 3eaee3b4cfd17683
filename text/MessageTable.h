#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <string>
#include <string_view>

#include "text/MessageId.h"

namespace tessaly {

// The current texts of the kMessageCount messages, each a zero-terminated byte text.
//
// Threads: one thread writes (Create, Reset, Store, Free: the user-interface thread); any thread may call
// Text at any time without a lock. A slot is an atomic pointer to a copy of its text in an arena, stored
// with release and loaded with acquire, so a reader always sees a complete text, the old one or the new
// one. A replaced text is not freed: the arena is a monotonic buffer that gives its memory back only as a
// whole in Free, so every pointer a reader has obtained stays valid until Free. Free must therefore not
// run while another thread may still use a text (it runs at program exit, after the worker has stopped).
// The price is that each language switch adds up to a few kilobytes that stay until Free; storing a text
// equal to the slot's current one allocates nothing.
//
// A slot without a text (before Create, after Free) reads as the built-in English text, so the table can
// be used before any language is loaded.
class MessageTable {
  public:
    constexpr MessageTable() = default;
    MessageTable(const MessageTable&) = delete;
    MessageTable& operator=(const MessageTable&) = delete;

    // Never null; an empty text for an index of kMessageCount or more.
    const char* Text(std::uint16_t index) const;

    // Drops any previous arena, creates a new one whose first block is one memory page, and runs Reset.
    void Create();

    // Gives every message its built-in text, after the escape rule. Without an arena every slot already
    // reads as the built-in text and nothing is stored.
    void Reset();

    // Copies text into the arena and makes it the message's text. False, with the slot unchanged, for an
    // index out of range or when there is no arena.
    bool Store(std::uint16_t index, std::string_view text);

    // Empties every slot and destroys the arena with all texts in it.
    void Free();

  private:
    std::unique_ptr<std::pmr::monotonic_buffer_resource> arena_;
    std::array<std::atomic<const char*>, kMessageCount> slots_{};
};

// The process's one table: GetMessageText reads it and the language functions of LanguageList.h write it.
MessageTable& ProcessMessageTable();

// The current text of a message of the process table; see MessageTable::Text.
const char* GetMessageText(std::uint16_t index);

// Replaces backslash-r by a carriage return, then backslash-n by a line feed, then backslash-t by a tab,
// each pass over the whole text, left to right and without overlap. There is no other escape.
std::string UnescapeText(std::string_view text);

// The message's key in a language file, "Msg[group-index]" from its key pair; empty for an index of
// kMessageCount or more.
std::string FormatMessageKey(std::uint16_t index);

}  // namespace tessaly
