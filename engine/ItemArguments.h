#pragma once

#include <cstdint>
#include <string_view>

#include "engine/ParseError.h"
#include "engine/TemplateHeap.h"
#include "engine/TemplateItem.h"

namespace tessaly {

// The addresses an item occupies, by which it widens its unit. Titles and CRC placeholders have none.
struct ItemSpan {
    bool present = false;
    std::uint32_t first = 0;
    std::uint32_t last = 0;
};

// A decoded entry body: field 0 is the keyword, fields 1..argc its arguments.
struct EntryBody {
    explicit EntryBody(std::string_view text);

    // Argument i, trimmed; empty past the last one.
    std::string_view Arg(int i) const;

    std::string_view text;
    int argc;
};

// Allocates an item of the given kind (header and record in one block) with its name and enabled flag set.
TemplateItem* CreateItem(ItemKind kind, const char* name, TemplateHeap& heap);

// Reads the kind's arguments from body into the item's record; None on success, else the first failing
// check's code.
ParseError ParseItemArguments(TemplateItem& item, const EntryBody& body, TemplateHeap& heap, ItemSpan& span);

}  // namespace tessaly
