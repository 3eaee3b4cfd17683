// Runs CH341A sessions against a programmer that answers from the fuzzer's input: every USB transfer
// succeeds, fails or finds the programmer gone as the input says, and every answer has the length and
// bytes the input gives. Reads and writes go through buffers of exactly the size asked, so that a session
// that reads or writes outside them is caught.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>
#include <span>
#include <vector>

#include "device/PluginInterface.h"
#include "plugins/ch341a/Ch341Session.h"

namespace {

using tessaly::UsbResult;

// The fuzzer's input read front to back; zeros once it is used up.
class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data, size) {}
    std::uint8_t Byte() {
        if (data_.empty()) {
            return 0;
        }
        const std::uint8_t byte = data_.front();
        data_ = data_.subspan(1);
        return byte;
    }
    std::uint32_t Word() { return static_cast<std::uint32_t>(Byte() << 8 | Byte()); }
    bool Empty() const { return data_.empty(); }

  private:
    std::span<const std::uint8_t> data_;
};

UsbResult ResultFrom(std::uint8_t byte) {
    switch (byte % 8) {
        case 0:
            return UsbResult::Gone;
        case 1:
            return UsbResult::Failed;
        default:
            return UsbResult::Ok;
    }
}

class FuzzedTransport : public tessaly::UsbTransport {
  public:
    explicit FuzzedTransport(Input& input) : input_(input) {}
    UsbResult Send(std::span<const std::uint8_t> bytes) override {
        // The packet is read whole, as a device reads it, and its bytes take part in the outcome.
        const unsigned sum = std::accumulate(bytes.begin(), bytes.end(), 0u);
        return ResultFrom(static_cast<std::uint8_t>(input_.Byte() + sum));
    }
    UsbResult Receive(std::span<std::uint8_t> buffer, std::size_t& received) override {
        received = std::min<std::size_t>(input_.Byte() % 40, buffer.size());
        for (std::size_t i = 0; i < received; ++i) {
            buffer[i] = input_.Byte();
        }
        return ResultFrom(input_.Byte());
    }

  private:
    Input& input_;
};

class FuzzedBus : public tessaly::UsbBus {
  public:
    explicit FuzzedBus(Input& input) : input_(input) {}
    std::vector<tessaly::UsbLocation> Programmers() override {
        return input_.Byte() % 4 == 0 ? std::vector<tessaly::UsbLocation>{} : std::vector{kAt};
    }
    std::unique_ptr<tessaly::UsbTransport> Open(const tessaly::UsbLocation&) override {
        return input_.Byte() % 4 == 0 ? nullptr : std::make_unique<FuzzedTransport>(input_);
    }

    static inline const tessaly::UsbLocation kAt{1, {1}};

  private:
    Input& input_;
};

constexpr const char* kPorts[] = {"1-1 I2C 20k", "1-1 I2C 750k", "1-1 25LC320", "1-1 25LC256",
                                  "1-1 25LC1024"};

void RunOne(tessaly::Ch341Session& session, Input& input) {
    std::uint32_t value = 0;
    std::uint32_t done = 0;
    const std::uint8_t choice = input.Byte();
    switch (choice % 6) {
        case 0:
            session.GetFacility(input.Byte() % 8, value);
            break;
        case 1:
            session.SetFacility(PGM_SESSION_WIDE_ADDRESSING, input.Byte() % 2);
            break;
        case 2:
            session.Reset();
            break;
        case 3:
        case 4: {
            const std::uint32_t address = input.Word() << 4 | (input.Byte() & 0x0F);
            std::vector<std::uint8_t> buffer(input.Byte() % 300);
            if (choice % 6 == 3) {
                session.Read(address, buffer, done);
            } else {
                session.Write(address, buffer, done);
            }
            if (done > buffer.size()) {
                __builtin_trap();
            }
            break;
        }
        default:
            session.FirmwareText();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input(data, size);
    const auto port = tessaly::Ch341Port::Parse(kPorts[input.Byte() % std::size(kPorts)]);
    tessaly::Ch341Session session(*port, std::make_shared<FuzzedBus>(input));
    for (int step = 0; step < 64 && !input.Empty(); ++step) {
        RunOne(session, input);
    }
    return 0;
}
