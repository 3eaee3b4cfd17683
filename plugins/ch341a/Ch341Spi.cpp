#include "plugins/ch341a/Ch341Spi.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tessaly {

using namespace ch341;

namespace {

constexpr std::uint32_t k16BitLimit = 64 * 1024;

std::uint8_t Mirrored(std::uint8_t byte) {
    byte = static_cast<std::uint8_t>((byte & 0xF0) >> 4 | (byte & 0x0F) << 4);
    byte = static_cast<std::uint8_t>((byte & 0xCC) >> 2 | (byte & 0x33) << 2);
    return static_cast<std::uint8_t>((byte & 0xAA) >> 1 | (byte & 0x55) << 1);
}

}  // namespace

PluginStatus Ch341Spi::Select(bool selected) {
    const std::array<std::uint8_t, 4> command{
        kUioStream, static_cast<std::uint8_t>(kUioOut | (selected ? kSelected : kDeselected)),
        kUioDirection | kPinsOut, kUioEnd};
    // Ending a transaction must not wait for the next one: a chip select left low would run the next
    // command on from this one.
    return link_.Send(command, !selected);
}

// Packets of the stream code and up to 31 bytes, each answered by as many bytes.
PluginStatus Ch341Spi::Transact(std::span<const std::uint8_t> out, std::span<std::uint8_t> in) {
    if (const PluginStatus status = Select(true); status != PluginStatus::Ok) {
        return status;
    }
    PluginStatus status = PluginStatus::Ok;
    for (std::size_t at = 0; at < out.size() && status == PluginStatus::Ok;) {
        const std::size_t count = std::min(out.size() - at, kPacketSize - 1);
        std::array<std::uint8_t, kPacketSize> packet{kSpiStream};
        std::transform(out.begin() + static_cast<std::ptrdiff_t>(at),
                       out.begin() + static_cast<std::ptrdiff_t>(at + count), packet.begin() + 1, Mirrored);
        std::array<std::uint8_t, kPacketSize> answer{};
        status = link_.Exchange(std::span(packet).first(count + 1), std::span(answer).first(count));
        std::transform(answer.begin(), answer.begin() + static_cast<std::ptrdiff_t>(count),
                       in.begin() + static_cast<std::ptrdiff_t>(at), Mirrored);
        at += count;
    }
    // The chip select goes high again whatever happened, unless the programmer is gone.
    const PluginStatus deselected = Select(false);
    return status != PluginStatus::Ok ? status : deselected;
}

PluginStatus Ch341Spi::Status(std::uint8_t& status) {
    const std::array<std::uint8_t, 2> out{kReadStatus, 0xFF};
    std::array<std::uint8_t, 2> in{};
    const PluginStatus result = Transact(out, in);
    status = in[1];
    return result;
}

PluginStatus Ch341Spi::Probe() {
    std::uint8_t status = 0;
    const PluginStatus result = Status(status);
    return result == PluginStatus::Ok && status == 0xFF ? PluginStatus::NoAnswer : result;
}

std::size_t Ch341Spi::Command(std::uint8_t code, std::uint32_t address, std::uint8_t* out) const {
    std::size_t count = 0;
    out[count++] = code;
    if (chip_.capacity > k16BitLimit) {
        out[count++] = static_cast<std::uint8_t>(address >> 16);
    }
    out[count++] = static_cast<std::uint8_t>(address >> 8);
    out[count++] = static_cast<std::uint8_t>(address);
    return count;
}

PluginStatus Ch341Spi::Read(std::uint32_t address, std::span<std::uint8_t> buffer, std::uint32_t& done) {
    done = 0;
    if (buffer.empty()) {
        return PluginStatus::Ok;
    }
    if (address >= chip_.capacity) {
        return PluginStatus::InvalidRequest;
    }
    const std::size_t count = std::min<std::size_t>(buffer.size(), chip_.capacity - address);
    std::vector<std::uint8_t> out(4 + count, 0xFF);
    const std::size_t header = Command(kRead, address, out.data());
    out.resize(header + count);
    std::vector<std::uint8_t> in(out.size());
    if (const PluginStatus status = Transact(out, in); status != PluginStatus::Ok) {
        return status;
    }
    std::copy(in.begin() + static_cast<std::ptrdiff_t>(header), in.end(), buffer.begin());
    done = static_cast<std::uint32_t>(count);
    return PluginStatus::Ok;
}

PluginStatus Ch341Spi::Write(std::uint32_t address, std::span<const std::uint8_t> data, std::uint32_t& done) {
    done = 0;
    if (data.empty()) {
        return PluginStatus::Ok;
    }
    if (address >= chip_.capacity) {
        return PluginStatus::InvalidRequest;
    }
    std::uint8_t status = 0;
    if (const PluginStatus result = Status(status); result != PluginStatus::Ok) {
        return result;
    }
    if (status == 0xFF || (status & kWriteInProgress) != 0) {
        return PluginStatus::NoAnswer;
    }
    const std::size_t count = std::min<std::size_t>(data.size(), chip_.pageSize - address % chip_.pageSize);
    const std::array<std::uint8_t, 1> enable{kWriteEnable};
    std::array<std::uint8_t, 1> ignored{};
    std::vector<std::uint8_t> out(4);
    out.resize(Command(kWrite, address, out.data()));
    out.insert(out.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(count));
    std::vector<std::uint8_t> in(out.size());
    if (const PluginStatus result = Transact(enable, ignored); result != PluginStatus::Ok) {
        return result;
    }
    if (const PluginStatus result = Transact(out, in); result != PluginStatus::Ok) {
        return result;
    }
    done = static_cast<std::uint32_t>(count);
    for (int poll = 0;
         poll < kMaxPolls && Status(status) == PluginStatus::Ok && (status & kWriteInProgress) != 0; ++poll) {
    }
    return PluginStatus::Ok;
}

}  // namespace tessaly
