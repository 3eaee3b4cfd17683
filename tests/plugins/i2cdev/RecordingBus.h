#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "plugins/i2cdev/I2cTransport.h"

namespace tessaly::test {

// A bus in place of an adapter and its chips: it records every transfer and answers each with the next
// of answers, Ok when they have run out. A read that is answered Ok gets the bytes 0xA0, 0xA1, ...
class RecordingBus : public I2cTransport {
  public:
    // One message of a recorded transfer: the bytes written, or as many zeros as were read.
    struct Message {
        std::uint8_t address;
        bool read;
        std::vector<std::uint8_t> bytes;
        friend bool operator==(const Message&, const Message&) = default;
    };

    PluginStatus Transfer(std::span<const I2cMessage> messages) override {
        PluginStatus answer = PluginStatus::Ok;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        std::vector<Message>& transfer = log.emplace_back();
        for (const I2cMessage& message : messages) {
            const std::span<std::uint8_t> data(message.data, message.length);
            transfer.push_back({message.address, message.read,
                                message.read ? std::vector<std::uint8_t>(data.size())
                                             : std::vector<std::uint8_t>(data.begin(), data.end())});
            for (std::size_t i = 0; message.read && answer == PluginStatus::Ok && i < data.size(); ++i) {
                data[i] = static_cast<std::uint8_t>(0xA0 + i);
            }
        }
        return answer;
    }

    std::deque<PluginStatus> answers;
    std::vector<std::vector<Message>> log;
};

}  // namespace tessaly::test
