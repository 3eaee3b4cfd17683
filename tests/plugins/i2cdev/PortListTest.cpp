#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeSystemTree.h"
#include "plugins/i2cdev/AdapterDiscovery.h"
#include "plugins/i2cdev/AdapterName.h"
#include "plugins/i2cdev/PortList.h"
#include "plugins/i2cdev/PortName.h"
#include "plugins/i2cdev/ReservedAdapter.h"

namespace tessaly {
namespace {

using test::FakeSystemTree;

std::vector<std::string> Unpacked(const char* buffer, std::uint32_t used) {
    std::vector<std::string> names;
    for (std::uint32_t position = 0; position < used;) {
        names.emplace_back(buffer + position);
        position += static_cast<std::uint32_t>(names.back().size()) + 1;
    }
    return names;
}

TEST(PortListTest, OneAdapterGetsEveryPageSizeAt50AndTheDefaultAtTheOtherAddresses) {
    const std::vector<AdapterInfo> adapters{{1, "MCP2221 usb-i2c bridge"}};
    EXPECT_EQ(ListPorts(adapters),
              (std::vector<std::string>{"i2c-1:50", "i2c-1:50/8", "i2c-1:50/16", "i2c-1:50/32", "i2c-1:50/64",
                                        "i2c-1:50/128", "i2c-1:51", "i2c-1:52", "i2c-1:53", "i2c-1:54",
                                        "i2c-1:55", "i2c-1:56", "i2c-1:57"}));
}

// Every name must read back and fit the Port setting; and as the Options dialog selects the first listed
// name that begins with the stored one, ignoring case, no name may begin with an earlier one.
TEST(PortListTest, EveryListedNameParsesFitsAndSelectsOnlyItself) {
    const std::vector<std::string> names = ListPorts(
        std::vector<AdapterInfo>{{0, ""}, {1, ""}, {10, "bcm2835 (i2c@7e804000)"}, {11, ""}, {9999, ""}});
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_LE(names[i].size(), PortName::kMaxLength) << names[i];
        ASSERT_TRUE(PortName::Parse(names[i]).has_value()) << names[i];
        EXPECT_EQ(PortName::Parse(names[i])->Format(), names[i]);
        for (std::size_t earlier = 0; earlier < i; ++earlier) {
            EXPECT_NE(names[earlier].rfind(names[i], 0), 0u) << names[i] << " selects " << names[earlier];
        }
    }
}

TEST(PortListTest, DisplayAndMemoryBusesAreNotListed) {
    const std::vector<AdapterInfo> adapters{{0, "SMBus I801 adapter at efa0"},
                                            {1, "i915 gmbus dpb"},
                                            {4, "AUX B/DDI B/PHY B"},
                                            {13, "MCP2221 usb-i2c bridge"}};
    const std::vector<std::string> names = ListPorts(adapters);
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) {
        EXPECT_EQ(name.rfind("i2c-13:", 0), 0u) << name;
    }
}

TEST(PortListTest, PackingKeepsWholeNamesOnly) {
    const std::vector<std::string> names{"i2c-1:50", "i2c-1:50/8", "i2c-1:51"};
    char buffer[32];
    EXPECT_EQ(PackNames(names, buffer, 0), 0u);
    EXPECT_EQ(PackNames(names, buffer, 8), 0u);
    EXPECT_EQ(PackNames(names, buffer, 9), 9u);
    EXPECT_EQ(PackNames(names, buffer, 19), 9u);
    EXPECT_EQ(PackNames(names, buffer, 20), 20u);
    EXPECT_EQ(Unpacked(buffer, 20), (std::vector<std::string>{"i2c-1:50", "i2c-1:50/8"}));
    EXPECT_EQ(PackNames(names, buffer, sizeof buffer), 29u);
    EXPECT_EQ(PackNames(names, nullptr, 100), 0u);
}

TEST(PortListTest, TheOptionsDialogsBufferHoldsAllOfOneAdapterAndMostOfASecond) {
    const std::vector<std::string> names = ListPorts(std::vector<AdapterInfo>{{1, ""}, {2, ""}});
    char buffer[256];
    const std::vector<std::string> listed = Unpacked(buffer, PackNames(names, buffer, sizeof buffer));
    ASSERT_EQ(listed.size(), 25u);
    EXPECT_EQ(listed[12], "i2c-1:57");
    EXPECT_EQ(listed[24], "i2c-2:56");
}

TEST(ReservedAdapterTest, EveryPatternMatchesItsOwnExample) {
    for (const ReservedAdapterPattern& pattern : ReservedAdapterPatterns()) {
        EXPECT_TRUE(IsReservedAdapter(pattern.why)) << pattern.why;
        EXPECT_FALSE(pattern.text.empty());
    }
}

TEST(ReservedAdapterTest, BridgesAndBoardBusesAreNotReservedAndLetterCaseDoesNotMatter) {
    EXPECT_TRUE(IsReservedAdapter("smbus piix4 adapter port 0 at 0b00"));
    EXPECT_TRUE(IsReservedAdapter("I915 GMBUS DPC"));
    for (const char* name :
         {"MCP2221 usb-i2c bridge", "CP2112 SMBus Bridge on hidraw0", "i2c-tiny-usb at bus 001 device 005",
          "bcm2835 (i2c@7e804000)", "Synopsys DesignWare I2C adapter", "ch341-i2c", "", "?"}) {
        EXPECT_FALSE(IsReservedAdapter(name)) << name;
    }
}

TEST(AdapterDiscoveryTest, FindsTheAdaptersOfTheDeviceRootInOrderWithTheirNames) {
    FakeSystemTree tree;
    tree.AddAdapter(10, "CP2112 SMBus Bridge on hidraw0");
    tree.AddAdapter(1, "bcm2835 (i2c@7e804000)");
    tree.AddAdapter(2, "");
    tree.Write("sys/bus/i2c/devices/i2c-2/name", "i2c-tiny-usb at bus 001 device 005\n");
    tree.Write("dev/i2c-01", "");
    tree.Write("dev/i2c-x", "");
    tree.Write("dev/i2c-3/placeholder", "");
    tree.Write("dev/tty0", "");
    const std::vector<AdapterInfo> adapters = FindAdapters(tree.Paths());
    ASSERT_EQ(adapters.size(), 3u);
    EXPECT_EQ(adapters[0].number, 1u);
    EXPECT_EQ(adapters[0].name, "bcm2835 (i2c@7e804000)");
    EXPECT_EQ(adapters[1].number, 2u);
    EXPECT_EQ(adapters[1].name, "i2c-tiny-usb at bus 001 device 005");
    EXPECT_EQ(adapters[2].number, 10u);
    EXPECT_EQ(adapters[2].name, "CP2112 SMBus Bridge on hidraw0");
}

TEST(AdapterDiscoveryTest, OddNameFilesGiveSafeNames) {
    FakeSystemTree tree;
    tree.AddAdapter(1, "");
    tree.Write("sys/class/i2c-dev/i2c-1/name", std::string("bridge\x01\xFF\tone\0hidden\nsecond line", 30));
    tree.AddAdapter(2, "");
    tree.Write("sys/class/i2c-dev/i2c-2/name", std::string(100000, 'A'));
    tree.AddAdapter(3, "");
    tree.Write("sys/class/i2c-dev/i2c-3/name/inside", "a directory where the file should be");
    tree.AddAdapter(4, "");
    const std::vector<AdapterInfo> adapters = FindAdapters(tree.Paths());
    ASSERT_EQ(adapters.size(), 4u);
    EXPECT_EQ(adapters[0].name, "bridge???one");
    EXPECT_EQ(adapters[1].name, std::string(kMaxAdapterNameLength, 'A'));
    EXPECT_EQ(adapters[2].name, "");
    EXPECT_EQ(adapters[3].name, "");
}

TEST(AdapterDiscoveryTest, TheInterfaceIsThereWithItsSysfsClassOrAnAdapter) {
    FakeSystemTree tree;
    SystemPaths missing = tree.Paths();
    missing.devRoot /= "missing";
    EXPECT_TRUE(FindAdapters(missing).empty());
    EXPECT_FALSE(IsI2cDevPresent(missing));
    FakeSystemTree classOnly;
    classOnly.Write("sys/class/i2c-dev/.keep", "");
    EXPECT_TRUE(IsI2cDevPresent(classOnly.Paths()));
    FakeSystemTree adapterOnly;
    adapterOnly.Write("dev/i2c-4", "");
    EXPECT_TRUE(IsI2cDevPresent(adapterOnly.Paths()));
    FakeSystemTree neither;
    EXPECT_FALSE(IsI2cDevPresent(neither.Paths()));
}

}  // namespace
}  // namespace tessaly
