#include "FakeLibrary.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace tessaly::test {

FakeLibrary::FakeLibrary() {
    const std::string path = kTestPluginDir + kFakeProgrammer;
    library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto* entry =
        library_ ? reinterpret_cast<decltype(&FakeProgrammerBench)>(dlsym(library_, "FakeProgrammerBench"))
                 : nullptr;
    if (entry == nullptr) {
        std::fprintf(stderr, "cannot load %s: %s\n", path.c_str(), dlerror());
        std::abort();
    }
    bench_ = entry();
    std::lock_guard<std::mutex> lock(bench_->mutex);
    bench_->config = {};
    bench_->record = {};
}

FakeLibrary::~FakeLibrary() {
    dlclose(library_);
}

std::vector<fake::Call> FakeLibrary::Calls() const {
    std::lock_guard<std::mutex> lock(bench_->mutex);
    return bench_->record.calls;
}

std::vector<fake::Call> FakeLibrary::Calls(fake::CallKind kind) const {
    std::vector<fake::Call> chosen;
    for (const fake::Call& call : Calls()) {
        if (call.kind == kind) {
            chosen.push_back(call);
        }
    }
    return chosen;
}

std::vector<fake::Call> FakeLibrary::Transfers() const {
    std::vector<fake::Call> chosen;
    for (const fake::Call& call : Calls()) {
        if (call.kind == fake::CallKind::Read || call.kind == fake::CallKind::Write) {
            chosen.push_back(call);
        }
    }
    return chosen;
}

fake::Record FakeLibrary::Record() const {
    std::lock_guard<std::mutex> lock(bench_->mutex);
    return bench_->record;
}

std::vector<std::uint8_t> FakeLibrary::Memory() const {
    std::lock_guard<std::mutex> lock(bench_->mutex);
    return bench_->config.memory;
}

void FakeLibrary::ClearRecord() {
    std::lock_guard<std::mutex> lock(bench_->mutex);
    const bool powered = bench_->record.powered;
    bench_->record = {};
    bench_->record.powered = powered;
}

void FakeLibrary::WaitUntilHolding() const {
    std::unique_lock<std::mutex> lock(bench_->mutex);
    bench_->changed.wait(lock, [&] { return bench_->record.holding; });
}

}  // namespace tessaly::test
