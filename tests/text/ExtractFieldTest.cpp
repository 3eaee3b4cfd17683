#include "text/ExtractField.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

struct FieldCase {
    const char* text;
    char separator;
    std::size_t n;
    bool found;
    const char* field;  // what the field holds afterwards; unchanged when not found
};

// Fields are trimmed of all six white-space characters, empty fields count and multibyte text is kept
// whole.
TEST(ExtractField, SplitsAtTheSeparatorAndTrims) {
    const FieldCase cases[] = {
        {"A, B ,C", ',', 0, true, "A"},
        {"A, B ,C", ',', 1, true, "B"},
        {"A, B ,C", ',', 2, true, "C"},
        {"A, B ,C", ',', 3, false, "keep"},
        {" \t\n\v\f\rin side \t\n\v\f\r", ',', 0, true, "in side"},
        {"  whole text ", ',', 0, true, "whole text"},
        {"no separator", ',', 1, false, "keep"},
        {"", ',', 0, true, ""},
        {"", ',', 1, false, "keep"},
        {",,", ',', 2, true, ""},
        {",,", ',', 3, false, "keep"},
        {" , x", ',', 0, true, ""},
        {"10;20;30", ';', 1, true, "20"},
        {"10,20;30", ';', 0, true, "10,20"},
        {"Fran\xC3\xA7"
         "ais , \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",
         ',', 1, true, "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"},
    };
    for (const FieldCase& c : cases) {
        std::string field = "keep";
        EXPECT_EQ(ExtractField(c.text, c.separator, c.n, field), c.found) << c.text << " #" << c.n;
        EXPECT_EQ(field, c.field) << c.text << " #" << c.n;
    }
}

}  // namespace
}  // namespace tessaly
