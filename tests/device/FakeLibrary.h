#pragma once

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>

#include "FakeBench.h"

namespace tessaly::test {

inline const std::string kTestPluginDir = TESSALY_TEST_PLUGIN_DIR;
inline const std::string kFakeProgrammer = "fake-programmer.so";

// Holds the fake programmer loaded for one test, from a fresh configuration and an empty log on, so that its
// bench outlives every load and unload the code under test makes.
class FakeLibrary {
  public:
    FakeLibrary() {
        const std::string path = kTestPluginDir + kFakeProgrammer;
        library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        void* entry = library_ != nullptr ? dlsym(library_, "FakeProgrammerBench") : nullptr;
        if (entry == nullptr) {
            std::fprintf(stderr, "cannot load %s: %s\n", path.c_str(), dlerror());
            std::abort();
        }
        bench_ = reinterpret_cast<decltype(&FakeProgrammerBench)>(entry)();
        Configure([](fake::Config& config) { config = {}; });
        ClearLog();
    }
    ~FakeLibrary() { dlclose(library_); }
    FakeLibrary(const FakeLibrary&) = delete;
    FakeLibrary& operator=(const FakeLibrary&) = delete;

    template <typename Change>
    void Configure(Change change) {
        std::lock_guard<std::mutex> lock(bench_->mutex);
        change(bench_->config);
    }

    // The logged calls that start with one of the prefixes, or all of them, joined by ", ".
    std::string Log(std::initializer_list<std::string_view> prefixes = {}) const {
        std::lock_guard<std::mutex> lock(bench_->mutex);
        std::string log;
        for (const std::string& call : bench_->record.calls) {
            if (prefixes.size() == 0 ||
                std::any_of(prefixes.begin(), prefixes.end(),
                            [&](std::string_view prefix) { return call.starts_with(prefix); })) {
                log += (log.empty() ? "" : ", ") + call;
            }
        }
        return log;
    }
    std::size_t Count(std::string_view prefix) const {
        std::lock_guard<std::mutex> lock(bench_->mutex);
        return std::count_if(bench_->record.calls.begin(), bench_->record.calls.end(),
                             [&](const std::string& call) { return call.starts_with(prefix); });
    }
    std::uint8_t Chip(std::uint32_t address) const {
        std::lock_guard<std::mutex> lock(bench_->mutex);
        return bench_->config.memory[address];
    }
    // Empties the log and the transfer counts.
    void ClearLog() {
        std::lock_guard<std::mutex> lock(bench_->mutex);
        bench_->record = {};
    }
    // Waits until a transfer is held by Config::holdTransfers.
    void WaitUntilHolding() const {
        std::unique_lock<std::mutex> lock(bench_->mutex);
        bench_->changed.wait(lock, [&] { return bench_->record.holding; });
    }

  private:
    void* library_ = nullptr;
    fake::FakeBench* bench_ = nullptr;
};

}  // namespace tessaly::test
