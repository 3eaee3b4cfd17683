#include "EmulatedAdapter.h"

namespace tessaly::test {
namespace {

class Connection : public I2cTransport {
  public:
    Connection(EmulatedEeprom& chip, const std::function<void()>& beforeTransfer)
        : chip_(chip), beforeTransfer_(beforeTransfer) {}

    Status Transfer(std::span<const I2cMessage> messages) override {
        if (beforeTransfer_) {
            beforeTransfer_();
        }
        return chip_.Transfer(messages);
    }

  private:
    EmulatedEeprom& chip_;
    const std::function<void()>& beforeTransfer_;
};

}  // namespace

AdapterConnection EmulatedAdapter::Open() {
    ++opened;
    if (state != AdapterState::Ready) {
        return {state, nullptr};
    }
    return {state, std::make_unique<Connection>(chip_, beforeTransfer)};
}

}  // namespace tessaly::test
