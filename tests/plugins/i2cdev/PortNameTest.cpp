#include <gtest/gtest.h>

#include <optional>

#include "plugins/i2cdev/PortName.h"

namespace tessaly {
namespace {

TEST(PortNameTest, ReadsAdapterAddressAndPageSize) {
    EXPECT_EQ(PortName::Parse("i2c-1:50"), (PortName{1, 0x50, 1}));
    EXPECT_EQ(PortName::Parse("i2c-0:57/64"), (PortName{0, 0x57, 64}));
    EXPECT_EQ(PortName::Parse("i2c-12:5a/256"), (PortName{12, 0x5A, 256}));
    EXPECT_EQ(PortName::Parse("I2C-3:5A/8"), (PortName{3, 0x5A, 8}));
    // The longest accepted names fill the Port setting.
    EXPECT_EQ(PortName::Parse("i2c-9999:50/128"), (PortName{9999, 0x50, 128}));
    EXPECT_EQ(PortName::Parse("i2c-12345678:50"), (PortName{12345678, 0x50, 1}));
}

TEST(PortNameTest, WritesTheCanonicalLowerCaseFormThatReadsBackTheSame) {
    EXPECT_EQ((PortName{1, 0x50, 1}).Format(), "i2c-1:50");
    EXPECT_EQ((PortName{20, 0x5C, 128}).Format(), "i2c-20:5c/128");
    for (const std::uint32_t adapter : {0u, 1u, 9999u}) {
        for (int address = PortName::kLowestAddress; address <= PortName::kHighestAddress; ++address) {
            for (std::uint32_t page = 1; page <= PortName::kMaxPageSize; page *= 2) {
                const PortName port{adapter, static_cast<std::uint8_t>(address), page};
                EXPECT_EQ(PortName::Parse(port.Format()), port) << port.Format();
            }
        }
    }
}

TEST(PortNameTest, RefusesNamesThatAreNotOnePortsOneName) {
    for (const char* text : {
             "",                  // empty
             "i2c-1",             // no address
             "i2c-1:",            // no address digits
             "i2c-1:5",           // one address digit
             "i2c-1:050",         // three address digits
             "i2c-01:50",         // leading zero in the adapter
             "i2c--1:50",         // sign
             "i2c-:50",           // no adapter
             "i2c-1:07",          // reserved address
             "i2c-1:78",          // reserved address
             "i2c-1:50/1",        // the default written out: would select "/16" in the Options dialog
             "i2c-1:50/0",        // no page
             "i2c-1:50/24",       // not a power of two
             "i2c-1:50/512",      // larger than any 24Cxx page
             "i2c-1:50/064",      // leading zero in the page
             "i2c-1:50/",         // empty page
             "i2c-1:50 ",         // trailing blank
             "spi-1:50",          // another bus
             "i2c-123456789:50",  // longer than the Port setting holds
             "i2c-123456:50/64",  // 16 characters
         }) {
        EXPECT_EQ(PortName::Parse(text), std::nullopt) << text;
    }
}

}  // namespace
}  // namespace tessaly
