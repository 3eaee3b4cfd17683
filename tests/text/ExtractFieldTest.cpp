#include "text/ExtractField.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

// Fields are trimmed of all six white-space characters and empty fields count; a field that is not there
// leaves the output as it was.
TEST(ExtractField, SplitsAtTheSeparatorAndTrims) {
    const struct {
        const char* text;
        char separator;
        std::size_t n;
        const char* field;  // nullptr: not found
    } cases[] = {
        {"A, B ,C", ',', 1, "B"},      {"A, B ,C", ',', 2, "C"},
        {"A, B ,C", ',', 3, nullptr},  {"", ',', 0, ""},
        {"", ',', 1, nullptr},         {",,", ',', 2, ""},
        {"10,20;30", ';', 0, "10,20"}, {" \t\n\v\f\rin side \t\n\v\f\r", ',', 0, "in side"},
    };
    for (const auto& c : cases) {
        std::string field = "keep";
        EXPECT_EQ(ExtractField(c.text, c.separator, c.n, field), c.field != nullptr) << c.text << " #" << c.n;
        EXPECT_EQ(field, c.field != nullptr ? c.field : "keep") << c.text << " #" << c.n;
    }
}

}  // namespace
}  // namespace tessaly
