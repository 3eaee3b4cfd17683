#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "plugins/i2cdev/PortList.h"
#include "plugins/i2cdev/PortName.h"
#include "plugins/i2cdev/ReservedAdapter.h"

namespace tessaly {
namespace {

TEST(PortNameTest, ReadsAdapterAddressAndPageSize) {
    EXPECT_EQ(PortName::Parse("i2c-1:50"), (PortName{1, 0x50, 1}));
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
             "i2c-123456:50/64",  // 16 characters
         }) {
        EXPECT_EQ(PortName::Parse(text), std::nullopt) << text;
    }
}

using Names = std::vector<std::string>;

TEST(PortListTest, AnAdapterGetsEveryPageSizeAt50AndTheDefaultAtTheOtherAddressesButNoReservedOne) {
    const Names ports = ListPorts(std::vector<AdapterInfo>{
        {0, "SMBus I801 adapter at efa0"}, {1, "MCP2221 usb-i2c bridge"}, {4, "AUX B/DDI B/PHY B"}});
    EXPECT_EQ(ports,
              (Names{"i2c-1:50", "i2c-1:50/8", "i2c-1:50/16", "i2c-1:50/32", "i2c-1:50/64", "i2c-1:50/128",
                     "i2c-1:51", "i2c-1:52", "i2c-1:53", "i2c-1:54", "i2c-1:55", "i2c-1:56", "i2c-1:57"}));
}

// Every name must read back and fit the Port setting, or is left out.
TEST(PortListTest, EveryListedNameParsesAndFits) {
    const Names names =
        ListPorts(std::vector<AdapterInfo>{{0, ""}, {1, ""}, {10, ""}, {11, ""}, {9999, ""}, {99999, ""}});
    ASSERT_EQ(names.size(), 5 * 13 + 12u) << "i2c-99999:50/128 is one byte too long";
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_LE(names[i].size(), PortName::kMaxLength) << names[i];
        ASSERT_TRUE(PortName::Parse(names[i]).has_value()) << names[i];
        EXPECT_EQ(PortName::Parse(names[i])->Format(), names[i]);
    }
}

TEST(ReservedAdapterTest, DisplayAndChipsetBusesAreReservedWithoutRegardToCaseBridgesAndBoardBusesNot) {
    for (const ReservedAdapterPattern& pattern : ReservedAdapterPatterns()) {
        EXPECT_TRUE(IsReservedAdapter(pattern.why)) << pattern.why;
    }
    EXPECT_TRUE(IsReservedAdapter("smbus piix4 adapter port 0 at 0b00"));
    EXPECT_TRUE(IsReservedAdapter("I915 GMBUS DPC"));
    for (const char* name :
         {"MCP2221 usb-i2c bridge", "CP2112 SMBus Bridge on hidraw0", "i2c-tiny-usb at bus 001 device 005",
          "bcm2835 (i2c@7e804000)", "Synopsys DesignWare I2C adapter", "ch341-i2c", "", "?"}) {
        EXPECT_FALSE(IsReservedAdapter(name)) << name;
    }
}

}  // namespace
}  // namespace tessaly
