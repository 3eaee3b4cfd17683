#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "EmulatedEeprom.h"
#include "plugins/i2cdev/I2cAdapter.h"

namespace tessaly::test {

// An adapter whose state a test sets, connected to an emulated chip. beforeTransfer, when set, runs at
// the start of every transfer: tests use it to act in the middle of one (a Reset from "another thread").
class EmulatedAdapter : public I2cAdapter {
  public:
    explicit EmulatedAdapter(EmulatedEeprom& chip) : chip_(chip) {}

    AdapterConnection Open() override;
    std::string Name() const override { return name; }

    AdapterState state = AdapterState::Ready;
    std::string name = "Emulated bridge";
    std::function<void()> beforeTransfer;
    std::atomic<int> opened{0};

  private:
    EmulatedEeprom& chip_;
};

}  // namespace tessaly::test
