// Program (prepare, program, verify) of a whole 24C512 through the chip simulator on a 400 kHz bus with a
// 5 ms write cycle, against the bus minimum: the transfer times the simulator's bus model charges, the
// write cycles and the PulseFix rest, added up. Then the CPU time of an idle worker over 10 s as a
// percentage of one core: without a plug-in, polling a Ready simulator, and polling with no chip to power.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/DeviceWorker.h"
#include "engine/TemplateHeap.h"
#include "plugins/sim/BusTiming.h"
#include "plugins/sim/ChipModel.h"

namespace {

using namespace tessaly;
using namespace std::chrono_literals;
using Seconds = std::chrono::duration<double>;

constexpr char kSimulator[] = "tessaly-sim.so";
constexpr char kChip[] = "24C512";
constexpr std::uint32_t kBusKhz = 400;
constexpr std::chrono::microseconds kWriteCycle{5000};
constexpr auto kIdleTime = 10s;

// The simulator's chip files and clock, set before any worker runs and kept for the whole run.
class SimulatorEnvironment {
  public:
    SimulatorEnvironment() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessaly-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            directory_ = pattern;
        }
        setenv("TESSALY_SIM_DIR", directory_.c_str(), 1);
        setenv("TESSALY_SIM_BUS_KHZ", std::to_string(kBusKhz).c_str(), 1);
        setenv("TESSALY_SIM_TWR_US", std::to_string(kWriteCycle.count()).c_str(), 1);
    }
    ~SimulatorEnvironment() {
        std::error_code error;
        std::filesystem::remove_all(directory_, error);
    }

  private:
    std::filesystem::path directory_;
};

// An owner for the benchmark: it keeps the state, lets the benchmark wait for a report or for the end of
// a request, answers every question No and counts what would have been shown.
class BenchOwner : public DeviceWorkerOwner {
  public:
    bool WaitForReport(std::chrono::seconds timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return reports_ > 0; });
    }
    bool WaitForEnd(std::chrono::seconds timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        const bool ended = changed_.wait_for(lock, timeout, [&] { return ended_; });
        ended_ = false;
        return ended;
    }
    int Complaints() {
        std::lock_guard<std::mutex> lock(mutex_);
        return complaints_;
    }

    bool HasProgressDisplay() override { return true; }
    void SetProgressText(const std::string&) override {}
    void SetProgressRange(std::uint32_t, std::uint32_t) override {}
    void SetProgressPosition(std::uint32_t) override {}
    DeviceState LastReportedState() override {
        std::lock_guard<std::mutex> lock(mutex_);
        return state_;
    }
    void StoreState(DeviceState state) override {
        std::lock_guard<std::mutex> lock(mutex_);
        state_ = state;
    }
    void SetPluginText(const std::string&) override {}
    void SetFirmwareText(const std::string&) override {}
    void PostDeviceState(bool) override {
        Signal([&] { ++reports_; });
    }
    void OperationEnded(std::stop_token) override {
        Signal([&] { ended_ = true; });
    }
    void ReadDone(std::stop_token) override {}
    bool AskRetryAccess(const std::string&, std::stop_token) override {
        Signal([&] { ++complaints_; });
        return false;
    }
    void ReportDifference(const std::string&, const std::vector<ItemDifference>&, std::stop_token) override {
        Signal([&] { ++complaints_; });
    }
    bool AskProgramWithoutBackup(const std::string&, std::stop_token) override {
        Signal([&] { ++complaints_; });
        return false;
    }
    void BackupSaved(const std::string&) override {}
    void NotifyCompletion(const std::string&, std::stop_token) override {}

    DeviceState State() { return LastReportedState(); }

  private:
    template <typename Change>
    void Signal(Change change) {
        std::lock_guard<std::mutex> lock(mutex_);
        change();
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    DeviceState state_ = DeviceState::NoPlugin;
    int reports_ = 0;
    bool ended_ = false;
    int complaints_ = 0;
};

// The whole chip as one unit whose every bit belongs to the template.
class WholeChipUnit {
  public:
    explicit WholeChipUnit(std::uint32_t capacity) : image_(capacity), mask_(capacity, 0xFF) {
        unit.Init(heap_.CopyText("Whole"), BusKind::I2C16, 0, 0, heap_.NewArray<TemplateItem*>(1), 1);
        unit.start = 0;
        unit.end = capacity - 1;
        for (std::uint32_t i = 0; i < capacity; ++i) {
            image_[i] = static_cast<std::uint8_t>(i * 131 + (i >> 8));
        }
        unit.dataImage = image_.data();
        unit.programMask = mask_.data();
    }

    Unit unit;

  private:
    TemplateHeap heap_;
    std::vector<std::uint8_t> image_;
    std::vector<std::uint8_t> mask_;
};

// The figures main prints after the run.
struct Figures {
    double programSeconds = 0;
    double busMinimumSeconds = 0;
    std::vector<std::pair<std::string, double>> idlePercent;
};

Figures& Results() {
    static Figures figures;
    return figures;
}

Seconds BusMinimum(const ChipModel& chip, const WorkerSettings& settings) {
    const std::uint32_t pages = chip.capacity / chip.pageSize;
    // Prepare reads, program writes and verify reads: three transfers of every page.
    const auto transfers = 3 * pages * TransferTime(chip, chip.pageSize, kBusKhz);
    return transfers + pages * kWriteCycle + std::chrono::milliseconds(settings.pulseFix);
}

void ProgramWholeChip(benchmark::State& state) {
    const ChipModel& chip = *FindChipModel(kChip);
    WorkerSettings settings;
    // The power-up delay is no part of the bus minimum.
    settings.delayPowerUp = 0;
    BenchOwner owner;
    DeviceWorker worker(owner, settings);
    worker.Start(kSimulator, kChip);
    if (!owner.WaitForReport(10s) || owner.State() != DeviceState::Ready) {
        state.SkipWithError("the simulator is not ready");
        return;
    }
    worker.SetBusMode(static_cast<std::uint32_t>(BusKind::I2C16));
    WholeChipUnit whole(chip.capacity);
    for (auto _ : state) {
        const auto began = std::chrono::steady_clock::now();
        if (!worker.Request(operation::kProgramCommand, &whole.unit) || !owner.WaitForEnd(120s) ||
            owner.Complaints() != 0) {
            state.SkipWithError("the program did not succeed");
            return;
        }
        Results().programSeconds = Seconds(std::chrono::steady_clock::now() - began).count();
    }
    Results().busMinimumSeconds = BusMinimum(chip, settings).count();
    state.counters["ratio_to_bus_minimum"] = Results().programSeconds / Results().busMinimumSeconds;
}

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The process's CPU time while the worker polls and this thread sleeps.
void IdleWorker(benchmark::State& state, const char* name, const char* plugin, const char* port,
                int delayPowerUp) {
    WorkerSettings settings;
    settings.delayPowerUp = delayPowerUp;
    BenchOwner owner;
    DeviceWorker worker(owner, settings);
    worker.Start(plugin, port);
    if (!owner.WaitForReport(10s)) {
        state.SkipWithError("the worker did not report");
        return;
    }
    double percent = 0;
    for (auto _ : state) {
        const double cpuBefore = ProcessCpuSeconds();
        const auto began = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(kIdleTime);
        const double wall = Seconds(std::chrono::steady_clock::now() - began).count();
        percent = 100.0 * (ProcessCpuSeconds() - cpuBefore) / wall;
    }
    state.counters["cpu_percent_of_one_core"] = percent;
    Results().idlePercent.emplace_back(name, percent);
}

BENCHMARK(ProgramWholeChip)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_CAPTURE(IdleWorker, NoPlugin, "idle, no plug-in", "", "", 200)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(IdleWorker, ReadySimulator, "idle, Ready simulator", kSimulator, kChip, 200)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
// The polls that power no chip (no session here; a power-up delay of 0 below) last only a few plug-in
// calls and are spaced by the worker's shortest poll period.
BENCHMARK_CAPTURE(IdleWorker, SimulatorWithoutSession, "idle, simulator without a session", kSimulator,
                  "NONE", 200)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(IdleWorker, ReadySimulatorWithoutPowerUpDelay, "idle, Ready simulator, power-up delay 0",
                  kSimulator, kChip, 0)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    const SimulatorEnvironment environment;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    const Figures& figures = Results();
    if (figures.busMinimumSeconds > 0) {
        std::printf("program of a whole %s: %.3f s, bus minimum %.3f s, ratio %.3f (target <= 1.10)\n", kChip,
                    figures.programSeconds, figures.busMinimumSeconds,
                    figures.programSeconds / figures.busMinimumSeconds);
    }
    for (const auto& [name, percent] : figures.idlePercent) {
        std::printf("%s: %.3f %% of one core\n", name.c_str(), percent);
    }
    return 0;
}
