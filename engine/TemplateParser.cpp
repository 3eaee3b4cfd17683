#include "engine/TemplateParser.h"

#include "engine/ItemArguments.h"
#include "engine/KeywordTable.h"
#include "engine/ScriptCodec.h"
#include "engine/ScriptFields.h"
#include "engine/ScriptNumbers.h"

namespace tessaly {
namespace {

constexpr int kMaxTitleFields = 3;

// What the fields after a unit's name set: the fixed byte, the bus, or neither (a bad field).
struct TitleFields {
    std::uint32_t flags = 0;
    std::uint8_t fixedByte = 0;
    BusKind bus = BusKind::I2C8;
    bool hasBadField = false;
};

TitleFields ReadTitleFields(std::string_view inner) {
    TitleFields fields;
    const int count = CountFields(inner, ',');
    for (int i = 1; i < count; ++i) {
        const std::string_view field = GetField(inner, ',', i);
        std::uint32_t value = 0;
        if (ParseNumber(field, Radix::Hexadecimal, value)) {
            fields.flags |= kUnitFixedByte;
            fields.fixedByte = static_cast<std::uint8_t>(value);
        } else if (const int bus = FindKeyword(field, kBusKeywords); bus >= 0) {
            fields.bus = static_cast<BusKind>(bus);
        } else {
            fields.hasBadField = true;
        }
    }
    return fields;
}

// The text between the brackets when the trimmed line opens with "[" and its first "]" is its last
// character; false for any other line.
bool TitleInner(std::string_view line, std::string_view& inner) {
    const std::string_view text = TrimWhiteSpace(line);
    if (text.empty() || text.front() != '[' || text.find(']') != text.size() - 1) {
        return false;
    }
    inner = text.substr(1, text.size() - 2);
    return true;
}

}  // namespace

TemplateParser::TemplateParser(TemplateInput& input, TemplateHeap& heap)
    : input_(input), heap_(heap), reader_(input), inputLength_(input.Length()) {
    units_ = heap_.New<UnitList>();
    units_->Init(heap_.NewArray<Unit*>(kUnitListCapacity), kUnitListCapacity);
}

bool TemplateParser::Step() {
    if (reader_.EndOfInput()) {
        return false;
    }
    std::string_view line;
    if (!reader_.ReadLine(line)) {
        return true;
    }
    if (ParseTitle(line)) {
        return true;
    }
    if (error_ != ParseError::None) {
        return false;
    }
    return ParseEntry(line);
}

void TemplateParser::Run(ParseProgress* progress) {
    if (progress != nullptr) {
        progress->Begin(input_.Path(), inputLength_);
    }
    while (Step()) {
        if (progress != nullptr) {
            progress->SetPosition(Position());
        }
    }
    if (progress != nullptr) {
        progress->End();
    }
}

bool TemplateParser::Fail(ParseError error) {
    error_ = error;
    return false;
}

bool TemplateParser::ParseTitle(std::string_view line) {
    std::string_view inner;
    if (!TitleInner(line, inner)) {
        return Fail(ParseError::None);
    }
    if (CountFields(inner, ',') > kMaxTitleFields) {
        return Fail(ParseError::WrongTitleSyntax);
    }
    const std::string_view name = GetField(inner, ',', 0);
    const TitleFields fields = ReadTitleFields(inner);
    if (currentUnit_ != nullptr && currentUnit_->itemCount == 0) {
        return Fail(ParseError::BodyEmpty);
    }
    if (units_->FindByName(name) != nullptr) {
        return Fail(ParseError::NameExists);
    }
    if (fields.hasBadField) {
        return Fail(ParseError::WrongTitleSyntax);
    }
    Unit* unit = heap_.New<Unit>();
    unit->Init(heap_.CopyText(name), fields.bus, fields.flags, fields.fixedByte,
               heap_.NewArray<TemplateItem*>(kUnitItemCapacity), kUnitItemCapacity);
    currentUnit_ = unit;
    // A 33rd unit is parsed but stays outside the list.
    units_->Add(unit);
    error_ = ParseError::None;
    return true;
}

bool TemplateParser::ParseEntry(std::string_view line) {
    if (currentUnit_ == nullptr || CountFields(line, '=') < 2) {
        return Fail(ParseError::TitleNotFound);
    }
    const std::string body = DecodeBody(GetField(line, '=', 1));
    const EntryBody entry(body);
    const int keyword = FindKeyword(entry.Arg(0), kItemKeywords);
    if (keyword < 0) {
        return Fail(ParseError::UnsupportedKeyword);
    }
    const std::string_view name = GetField(line, '=', 0);
    TemplateItem* item =
        CreateItem(static_cast<ItemKind>(keyword), name.empty() ? nullptr : heap_.CopyText(name), heap_);
    ItemSpan span;
    if (const ParseError error = ParseItemArguments(*item, entry, heap_, span); error != ParseError::None) {
        return Fail(error);
    }
    if (span.present) {
        currentUnit_->Widen(span.first, span.last);
    }
    // A 1025th item of a unit is dropped.
    currentUnit_->AddItem(item);
    return true;
}

bool TemplateParser::FormatError(std::string& report) const {
    return FormatParseReport(ErrorCode(), input_.Path(), reader_.LineCount(), report);
}

}  // namespace tessaly
