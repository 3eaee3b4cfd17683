#include "text/ExtractField.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

std::string Field(std::string_view text, char separator, std::size_t n) {
    std::string field = "<unchanged>";
    ExtractField(text, separator, n, field);
    return field;
}

TEST(ExtractField, FieldsAreTrimmed) {
    EXPECT_EQ(Field("A, B ,C", ',', 0), "A");
    EXPECT_EQ(Field("A, B ,C", ',', 1), "B");
    EXPECT_EQ(Field("A, B ,C", ',', 2), "C");
}

TEST(ExtractField, AllSixWhiteSpaceCharactersAreTrimmed) {
    EXPECT_EQ(Field(" \t\n\v\f\rin side \t\n\v\f\r", ',', 0), "in side");
}

TEST(ExtractField, FailsPastTheLastFieldLeavingTheFieldUnchanged) {
    std::string field = "keep";
    EXPECT_FALSE(ExtractField("A, B ,C", ',', 3, field));
    EXPECT_EQ(field, "keep");
    EXPECT_FALSE(ExtractField("no separator", ',', 1, field));
    EXPECT_EQ(field, "keep");
}

TEST(ExtractField, TextWithoutSeparatorIsOneField) {
    std::string field;
    EXPECT_TRUE(ExtractField("  whole text ", ',', 0, field));
    EXPECT_EQ(field, "whole text");
}

TEST(ExtractField, EmptyTextIsOneEmptyField) {
    std::string field = "old";
    EXPECT_TRUE(ExtractField("", ',', 0, field));
    EXPECT_EQ(field, "");
    EXPECT_FALSE(ExtractField("", ',', 1, field));
}

TEST(ExtractField, EmptyFieldsCount) {
    std::string field = "old";
    EXPECT_TRUE(ExtractField(",,", ',', 2, field));
    EXPECT_EQ(field, "");
    EXPECT_TRUE(ExtractField(" , x", ',', 0, field));
    EXPECT_EQ(field, "");
    EXPECT_FALSE(ExtractField(",,", ',', 3, field));
}

TEST(ExtractField, AnySeparatorCharacter) {
    EXPECT_EQ(Field("10;20;30", ';', 1), "20");
    EXPECT_EQ(Field("10,20;30", ';', 0), "10,20");
}

TEST(ExtractField, MultibyteTextIsKeptWhole) {
    EXPECT_EQ(Field("Fran\xC3\xA7"
                    "ais , \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",
                    ',', 1),
              "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E");
}

}  // namespace
}  // namespace tessaly
