#include "SimulatorSession.h"

#include <chrono>
#include <thread>

namespace tessaly::test {
namespace {

using namespace std::chrono_literals;
using Kind = RecordingOwner::Kind;

constexpr char kSimulator[] = "tessaly-sim.so";

}  // namespace

SimulatorSession::SimulatorSession(const std::string& port, const WorkerSettings& settings)
    : worker(owner, settings) {
    started = worker.Start(kSimulator, port);
    reported = owner.WaitFor(Kind::PostDeviceState);
}

bool SimulatorSession::Request(OperationMask operation, Unit& unit) {
    worker.SetBusMode(static_cast<std::uint32_t>(unit.bus));
    endedBefore_ = owner.Count(Kind::OperationEnded);
    return worker.Request(operation, &unit);
}

bool SimulatorSession::WaitUntilIdle() {
    if (!owner.WaitFor(Kind::OperationEnded, endedBefore_ + 1, 60s)) {
        return false;
    }
    // The worker clears its request after the notices that follow OperationEnded.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (worker.IsBusy() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    return !worker.IsBusy();
}

bool SimulatorSession::Run(OperationMask operation, Unit& unit) {
    return Request(operation, unit) && WaitUntilIdle();
}

std::vector<std::string> SimulatorSession::Texts(Kind kind) const {
    std::vector<std::string> texts;
    for (const auto& event : owner.Events(kind)) {
        texts.push_back(event.text);
    }
    return texts;
}

}  // namespace tessaly::test
