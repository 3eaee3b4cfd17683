#include "plugins/ch341a/Ch341I2c.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tessaly {

using namespace ch341;

namespace {

// What one packet answers at most.
constexpr std::size_t kMaxChunk = kPacketSize;
constexpr std::uint32_t kBlock = 256;

}  // namespace

PluginStatus Ch341I2c::SetClock(std::uint8_t code) {
    const std::array<std::uint8_t, 3> command{kI2cStream, static_cast<std::uint8_t>(kI2cSet | (code & 0x03)),
                                              kI2cEnd};
    return link_.Send(command);
}

PluginStatus Ch341I2c::Probe(std::uint8_t device) {
    const std::array<std::uint8_t, 6> command{
        kI2cStream, kI2cStart, kI2cOut, static_cast<std::uint8_t>(device << 1), kI2cStop, kI2cEnd};
    std::array<std::uint8_t, 1> answer{};
    const PluginStatus status = link_.Exchange(command, answer);
    if (status != PluginStatus::Ok) {
        return status;
    }
    return (answer[0] & kNoAcknowledge) != 0 ? PluginStatus::NoAnswer : PluginStatus::Ok;
}

std::size_t Ch341I2c::Header(std::uint32_t address, std::uint8_t* out) const {
    std::size_t count = 0;
    out[count++] = static_cast<std::uint8_t>(DeviceFor(address) << 1);
    if (wide_) {
        out[count++] = static_cast<std::uint8_t>(address >> 8);
    }
    out[count++] = static_cast<std::uint8_t>(address);
    return count;
}

PluginStatus Ch341I2c::Read(std::uint32_t address, std::span<std::uint8_t> buffer, std::uint32_t& done) {
    done = 0;
    if (buffer.empty()) {
        return PluginStatus::Ok;
    }
    if (!Reaches(address)) {
        return PluginStatus::InvalidRequest;
    }
    if (const PluginStatus status = Probe(DeviceFor(address)); status != PluginStatus::Ok) {
        return status;
    }
    const std::uint32_t last = wide_ ? 0x7FFFFu : 0x7FFu;
    const std::size_t wanted = std::min<std::size_t>(buffer.size(), std::size_t{last} - address + 1);
    while (done < wanted) {
        const std::uint32_t at = address + done;
        const std::size_t count = std::min({wanted - done, kMaxChunk, std::size_t{kBlock - at % kBlock}});
        if (const PluginStatus status = ReadChunk(at, buffer.subspan(done, count));
            status != PluginStatus::Ok) {
            return status;
        }
        done += static_cast<std::uint32_t>(count);
    }
    return PluginStatus::Ok;
}

// A random read: the word address written, a repeated start, the bytes read with an acknowledge each
// but the last.
PluginStatus Ch341I2c::ReadChunk(std::uint32_t address, std::span<std::uint8_t> chunk) {
    std::array<std::uint8_t, kPacketSize> command{};
    std::size_t length = 0;
    command[length++] = kI2cStream;
    command[length++] = kI2cStart;
    const std::size_t header = Header(address, &command[length + 1]);
    command[length++] = static_cast<std::uint8_t>(kI2cOut | header);
    length += header;
    command[length++] = kI2cStart;
    command[length++] = kI2cOut | 1;
    command[length++] = static_cast<std::uint8_t>(DeviceFor(address) << 1 | 1);
    if (chunk.size() > 1) {
        command[length++] = static_cast<std::uint8_t>(kI2cIn | (chunk.size() - 1));
    }
    command[length++] = kI2cIn;
    command[length++] = kI2cStop;
    command[length++] = kI2cEnd;
    return link_.Exchange(std::span(command).first(length), chunk);
}

PluginStatus Ch341I2c::Write(std::uint32_t address, std::span<const std::uint8_t> data, std::uint32_t& done) {
    done = 0;
    if (data.empty()) {
        return PluginStatus::Ok;
    }
    if (!Reaches(address)) {
        return PluginStatus::InvalidRequest;
    }
    if (const PluginStatus status = Probe(DeviceFor(address)); status != PluginStatus::Ok) {
        return status;
    }
    const std::size_t count = std::min<std::size_t>(data.size(), PageSize() - address % PageSize());
    std::vector<std::uint8_t> out(3);
    out.resize(Header(address, out.data()));
    out.insert(out.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(count));
    if (const PluginStatus status = SendWrite(out); status != PluginStatus::Ok) {
        return status;
    }
    done = static_cast<std::uint32_t>(count);
    AwaitWriteCycle();
    return PluginStatus::Ok;
}

// Each packet: the stream code, a start in the first, OUT with its bytes, a stop in the last, the end.
PluginStatus Ch341I2c::SendWrite(std::span<const std::uint8_t> out) {
    bool first = true;
    while (!out.empty()) {
        const std::size_t room = kPacketSize - 3 - (first ? 1 : 0);
        const bool last = out.size() <= room - 1;
        const std::size_t count = std::min(out.size(), room - 1);
        std::vector<std::uint8_t> packet{kI2cStream};
        if (first) {
            packet.push_back(kI2cStart);
        }
        packet.push_back(static_cast<std::uint8_t>(kI2cOut | count));
        packet.insert(packet.end(), out.begin(), out.begin() + static_cast<std::ptrdiff_t>(count));
        if (last) {
            packet.push_back(kI2cStop);
        }
        packet.push_back(kI2cEnd);
        if (const PluginStatus status = link_.Send(packet); status != PluginStatus::Ok) {
            return status;
        }
        out = out.subspan(count);
        first = false;
    }
    return PluginStatus::Ok;
}

// A chip busy with its write cycle does not acknowledge its address; it answers again once done. A chip
// still busy after the last poll is left to the host, which retries on NoAnswer.
void Ch341I2c::AwaitWriteCycle() {
    for (int poll = 0; poll < kMaxPolls && Probe() == PluginStatus::NoAnswer; ++poll) {
    }
}

}  // namespace tessaly
