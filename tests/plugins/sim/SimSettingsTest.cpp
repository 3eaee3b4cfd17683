#include "plugins/sim/SimSettings.h"

#include <gtest/gtest.h>

#include <string>

#include "ScopedEnvironment.h"

namespace tessaly {
namespace {

using std::chrono::microseconds;

// A variable that is unset (null), empty or malformed leaves its default.
TEST(SimSettings, ReadsTheEnvironmentAndKeepsTheDefaultsForWhatItCannotUse) {
    struct Row {
        const char* home;
        const char* stateHome;
        const char* simDir;
        const char* writeCycle;
        const char* busKhz;
        const char* directory;
        std::int64_t micros;
        std::uint32_t khz;
    };
    const char* const kDefault = "/home/someone/.local/state/tessaly/sim";
    for (const Row& row : {
             Row{"/home/someone", nullptr, nullptr, nullptr, nullptr, kDefault, 5000, 0},
             Row{"/home/someone", "/var/state", nullptr, "250", "400", "/var/state/tessaly/sim", 250, 400},
             Row{"/home/someone", "relative/state", "", "0", "0", kDefault, 0, 0},
             Row{"/home/someone", "/var/state", "/tmp/chips", "10000000", "4294967295", "/tmp/chips",
                 10'000'000, 4294967295u},
             Row{nullptr, nullptr, nullptr, "10000001", "4294967296", "", 5000, 0},
             Row{"", nullptr, nullptr, "abc", "-5", "", 5000, 0},
             Row{"relative", nullptr, nullptr, "5ms", " 5", "", 5000, 0},
             Row{"/home/someone", nullptr, nullptr, "99999999999999999999999", "", kDefault, 5000, 0},
         }) {
        SCOPED_TRACE(testing::Message()
                     << (row.home ? row.home : "-") << " " << (row.writeCycle ? row.writeCycle : "-"));
        test::ScopedEnvironment environment;
        for (const auto& [name, value] : {std::pair{"HOME", row.home},
                                          {"XDG_STATE_HOME", row.stateHome},
                                          {"TESSALY_SIM_DIR", row.simDir},
                                          {"TESSALY_SIM_TWR_US", row.writeCycle},
                                          {"TESSALY_SIM_BUS_KHZ", row.busKhz}}) {
            value == nullptr ? environment.Unset(name) : environment.Set(name, value);
        }
        environment.Set("TESSALY_SIM_FAULTS", "read=2");
        const SimSettings settings = SimSettings::FromEnvironment();
        EXPECT_EQ(settings.directory, row.directory);
        EXPECT_EQ(settings.writeCycle, microseconds{row.micros});
        EXPECT_EQ(settings.busKhz, row.khz);
        EXPECT_TRUE(settings.faults.FailsRead(2));
    }
}

// Each row gives, for the calls 0 to 9, which reads and writes fail ('x'), the byte count a read is cut
// to (a digit) and from which transfer count on the programmer is unplugged; then the flags nochip,
// nodriver and noid.
TEST(FaultPlan, ReadsItsEntriesAndIgnoresMalformedOnes) {
    for (const auto& [text, expected] : {
             std::pair{"", ".......... .......... .......... .......... ..."},
             {"read=2,read=5-7,write=3-3", "..x..xxx.. ...x...... .......... .......... ..."},
             {"short=4:3,short=6:0", ".......... .......... ....3.0... .......... ..."},
             {"unplug=9,unplug=3", ".......... .......... .......... ...xxxxxxx ..."},
             {"unplug=0", ".......... .......... .......... xxxxxxxxxx ..."},
             {"nochip, nodriver ,noid", ".......... .......... .......... .......... xxx"},
             {"read=,read=x,read=5-2,read=0,read=-3,read=+4,read=2-,short=3,short=:2,short=0:1,"
              "short=2:99999999999,unplug=-1,unplug=,bogus,NOCHIP,read=99999999999999999999,,  ,"
              "write = 4,write=4 , noid",
              ".......... ....x..... .......... .......... ..x"},
         }) {
        const FaultPlan plan = FaultPlan::Parse(text);
        const auto mark = [](bool set) { return set ? 'x' : '.'; };
        std::string reads, writes, shortReads, unplugged;
        for (std::uint64_t call = 0; call < 10; ++call) {
            reads += mark(plan.FailsRead(call));
            writes += mark(plan.FailsWrite(call));
            const auto cut = plan.ShortRead(call);
            shortReads += cut ? static_cast<char>('0' + *cut) : '.';
            unplugged += mark(plan.IsUnplugged(call));
        }
        EXPECT_EQ(reads + ' ' + writes + ' ' + shortReads + ' ' + unplugged + ' ' + mark(plan.NoChip()) +
                      mark(plan.NoDriver()) + mark(plan.NoId()),
                  expected)
            << text;
    }
}

}  // namespace
}  // namespace tessaly
