#pragma once

#include <string>
#include <vector>

#include "FakeBench.h"

namespace tessaly::test {

inline const std::string kTestPluginDir = TESSALY_TEST_PLUGIN_DIR;
inline const std::string kFakeProgrammer = "fake-programmer.so";
inline const std::string kHostilePlugin = "fake-hostile.so";

// Holds the fake programmer library loaded for one test, so that its bench outlives every load and unload
// the code under test makes, and starts the test from a fresh configuration and an empty record.
class FakeLibrary {
  public:
    FakeLibrary();
    ~FakeLibrary();
    FakeLibrary(const FakeLibrary&) = delete;
    FakeLibrary& operator=(const FakeLibrary&) = delete;

    template <typename Change>
    void Configure(Change change) {
        std::lock_guard<std::mutex> lock(bench_->mutex);
        change(bench_->config);
        bench_->changed.notify_all();
    }

    std::vector<fake::Call> Calls() const;
    // The calls of one kind, in order.
    std::vector<fake::Call> Calls(fake::CallKind kind) const;
    // Reads and writes, in order.
    std::vector<fake::Call> Transfers() const;
    fake::Record Record() const;
    std::vector<std::uint8_t> Memory() const;
    void ClearRecord();
    // Waits until a transfer is held by Config::holdTransfers.
    void WaitUntilHolding() const;

  private:
    void* library_ = nullptr;
    fake::FakeBench* bench_ = nullptr;
};

}  // namespace tessaly::test
