#include "engine/KeywordTable.h"

#include "text/AsciiText.h"

namespace tessaly {

int FindKeyword(std::string_view text, int first, int count) {
    if (first < 0 || count < 0 || first + count > kKeywordCount) {
        return -1;
    }
    for (int position = 0; position < count; ++position) {
        if (EqualsIgnoreCase(text, kKeywordTable[first + position])) {
            return position;
        }
    }
    return -1;
}

std::string_view ItemKindKeyword(unsigned kind) {
    if (kind >= static_cast<unsigned>(kItemKeywords.count)) {
        return {};
    }
    return kKeywordTable[kItemKeywords.first + static_cast<int>(kind)];
}

}  // namespace tessaly
