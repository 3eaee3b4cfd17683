// Feeds arbitrary bytes to the template parser, checks that the plain-text form of any file encodes back to
// the same bytes, and then works every parsed unit as the item list does: images filled with a byte taken
// from the input (for a complete parse), collisions, program mask, derived fields, and each item's value text
// read, checked, written back and read again.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/ItemRecords.h"
#include "engine/MemoryInput.h"
#include "engine/ParseError.h"
#include "engine/ScriptCodec.h"
#include "engine/TemplateHeap.h"
#include "engine/TemplateParser.h"
#include "engine/ValueCheck.h"

namespace {

// Units larger than this are refused by the document before any image is allocated.
constexpr std::uint32_t kLargestImage = 0x20000;

void RequireEncodeRoundTrip(const std::string& script) {
    if (tessaly::EncodeScript(tessaly::DecodeScript(script)) != script) {
        std::abort();
    }
}

// A scaled number is shown and stored truncated, so its text may change when stored back.
bool IsScaledNumber(const tessaly::TemplateItem& item) {
    return item.kind == tessaly::ItemKind::Num &&
           (item.RecordAs<tessaly::NumRecord>().flags & tessaly::kNumScaled) != 0;
}

// A value text the unit shows must be accepted back and, unless scaled, leave the same text.
void RequireValueRoundTrip(tessaly::Unit& unit, std::uint32_t index) {
    std::string shown;
    if (!unit.GetValueText(index, shown)) {
        return;
    }
    if (unit.ValidateValueText(index, shown) != tessaly::ValueCheck::Valid ||
        !unit.SetValueText(index, shown)) {
        return;
    }
    std::string again;
    if (!unit.GetValueText(index, again)) {
        std::abort();
    }
    if (again != shown && !IsScaledNumber(*unit.GetItem(index))) {
        std::abort();
    }
}

void WorkItem(tessaly::Unit& unit, std::uint32_t index, const std::string& foreignText) {
    RequireValueRoundTrip(unit, index);
    unit.SetValueText(index, foreignText);
    std::string text;
    for (std::uint32_t value : {0u, 1u, 255u, 0xFFFFFFFFu}) {
        unit.GetChoiceText(index, value, text);
    }
    unit.DescribeItem(index);
    unit.IsListedItem(index);
}

void WorkUnit(tessaly::Unit& unit, std::uint8_t fill, const std::string& foreignText) {
    const std::uint32_t size = unit.ImageSize();
    if (unit.start > unit.end || size > kLargestImage) {
        return;
    }
    std::vector<std::uint8_t> data(size);
    std::vector<std::uint8_t> mask(size);
    if (!unit.InitImages(fill, data.data(), mask.data()) || unit.CheckCollisions() != tessaly::kNoItem) {
        return;
    }
    unit.PrepareDerivedFields();
    for (std::uint32_t i = 0; i < unit.itemCount; ++i) {
        WorkItem(unit, i, foreignText);
        unit.SetItemEnabled(i, (i & 1u) == 0);
    }
    unit.UpdateProgramMask();
    unit.PrepareDerivedFields();
}

// The input's last line, as the text a user might type into any field.
std::string LastLine(const std::string& script) {
    const std::size_t cut = script.find_last_of('\n');
    return cut == std::string::npos ? script : script.substr(cut + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);
    RequireEncodeRoundTrip(script);

    tessaly::TemplateHeap heap;
    tessaly::MemoryInput input(script, "fuzz.dev");
    tessaly::TemplateParser parser(input, heap);
    parser.Run(nullptr);
    std::string report;
    parser.FormatError(report);
    const tessaly::UnitList* units = parser.Units();
    // The document uses the units of a complete parse only.
    const bool complete = parser.Error() == tessaly::ParseError::None;
    const std::uint8_t fill = size > 0 ? data[0] : 0xFF;
    const std::string foreignText = LastLine(script);
    for (std::uint32_t i = 0; i < units->count; ++i) {
        tessaly::Unit* unit = units->GetAt(i);
        if (unit->itemCount > unit->itemCapacity) {
            std::abort();
        }
        if (complete) {
            WorkUnit(*unit, fill, foreignText);
        }
    }
    return 0;
}
