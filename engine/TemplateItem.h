#pragma once

#include <cstdint>
#include <type_traits>

#include "engine/ItemRecords.h"
#include "engine/ModelTypes.h"

namespace tessaly {

// The common header of every item. The kind's record follows the header in the same heap block
// (ItemBlock), so an item is one allocation.
struct TemplateItem {
    ItemKind kind = ItemKind::Title;
    std::uint32_t enabled = 1;
    const char* name = nullptr;  // null when the entry's name was empty

    template <class Record>
    Record& RecordAs();
    template <class Record>
    const Record& RecordAs() const;
};

template <class Record>
struct ItemBlock {
    TemplateItem header;
    Record record;
};

template <class Record>
Record& TemplateItem::RecordAs() {
    static_assert(std::is_standard_layout_v<ItemBlock<Record>>);
    return reinterpret_cast<ItemBlock<Record>*>(this)->record;
}

template <class Record>
const Record& TemplateItem::RecordAs() const {
    static_assert(std::is_standard_layout_v<ItemBlock<Record>>);
    return reinterpret_cast<const ItemBlock<Record>*>(this)->record;
}

}  // namespace tessaly
