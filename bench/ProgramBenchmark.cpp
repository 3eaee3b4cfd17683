// Program (backup and prepare read, program, verify) of a whole 24C512 through the chip simulator on a
// 400 kHz bus with a 5 ms write cycle, against the bus minimum: the transfer times the simulator's bus
// model charges, the write cycles and the PulseFix rest, added up. Then the Program of a chip that already
// holds the values, which writes nothing: against two full reads and PulseFix. Then the CPU time of an idle
// worker over 10 s as a percentage of one core: without a plug-in, polling a Ready simulator, and polling
// with no chip to power.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <optional>
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

    BackupFolder Backups() const { return BackupFolder(directory_ / "backups"); }

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

// A Program's time against its bus minimum.
struct ProgramFigure {
    std::string name;
    double seconds = 0;
    double minimumSeconds = 0;
};

// The figures main prints after the run.
struct Figures {
    std::vector<ProgramFigure> programs;
    std::vector<std::pair<std::string, double>> idlePercent;
};

Figures& Results() {
    static Figures figures;
    return figures;
}

const SimulatorEnvironment& Environment() {
    static const SimulatorEnvironment environment;
    return environment;
}

// Two full reads of the chip (the backup, which the prepare merge reuses, and the verify), the writes with
// their write cycles when the chip is written, and PulseFix.
Seconds BusMinimum(const ChipModel& chip, const WorkerSettings& settings, bool writes) {
    const std::uint32_t pages = chip.capacity / chip.pageSize;
    const Seconds pageTime = TransferTime(chip, chip.pageSize, kBusKhz);
    const Seconds written = writes ? pages * (pageTime + Seconds(kWriteCycle)) : Seconds(0);
    return 2 * pages * pageTime + written + std::chrono::milliseconds(settings.pulseFix);
}

// A worker on the simulator's chip, Ready, in the chip's addressing mode.
class ChipSession {
  public:
    explicit ChipSession(const WorkerSettings& settings) : worker_(owner_, settings) {
        worker_.Start(kSimulator, kChip);
        ready_ = owner_.WaitForReport(10s) && owner_.State() == DeviceState::Ready;
        worker_.SetBusMode(static_cast<std::uint32_t>(BusKind::I2C16));
    }
    bool Ready() const { return ready_; }

    // The seconds one Program took; negative when it did not succeed.
    double Program(Unit& unit, std::optional<BackupFolder> backup) {
        const auto began = std::chrono::steady_clock::now();
        if (!worker_.Request(operation::kProgramCommand, &unit, std::move(backup)) ||
            !owner_.WaitForEnd(120s) || owner_.Complaints() != 0) {
            return -1;
        }
        return Seconds(std::chrono::steady_clock::now() - began).count();
    }

  private:
    BenchOwner owner_;
    DeviceWorker worker_;
    bool ready_ = false;
};

// Programs the whole chip with a backup; when unchanged, first programs it untimed so that the timed
// Program finds every value in place.
void ProgramWholeChip(benchmark::State& state, const char* name, bool unchanged) {
    const ChipModel& chip = *FindChipModel(kChip);
    WorkerSettings settings;
    // The power-up delay is no part of the bus minimum.
    settings.delayPowerUp = 0;
    ChipSession session(settings);
    if (!session.Ready()) {
        state.SkipWithError("the simulator is not ready");
        return;
    }
    WholeChipUnit whole(chip.capacity);
    if (unchanged && session.Program(whole.unit, std::nullopt) < 0) {
        state.SkipWithError("the first program did not succeed");
        return;
    }
    ProgramFigure figure{name, 0, BusMinimum(chip, settings, !unchanged).count()};
    for (auto _ : state) {
        figure.seconds = session.Program(whole.unit, Environment().Backups());
        if (figure.seconds < 0) {
            state.SkipWithError("the program did not succeed");
            return;
        }
    }
    state.counters["ratio_to_bus_minimum"] = figure.seconds / figure.minimumSeconds;
    Results().programs.push_back(figure);
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

BENCHMARK_CAPTURE(ProgramWholeChip, WithBackup, "program with backup", false)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ProgramWholeChip, Unchanged, "program of a chip that holds the values", true)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
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
    Environment();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    const Figures& figures = Results();
    for (const ProgramFigure& program : figures.programs) {
        std::printf("%s, whole %s: %.3f s, bus minimum %.3f s, ratio %.3f (target <= 1.10)\n",
                    program.name.c_str(), kChip, program.seconds, program.minimumSeconds,
                    program.seconds / program.minimumSeconds);
    }
    for (const auto& [name, percent] : figures.idlePercent) {
        std::printf("%s: %.3f %% of one core\n", name.c_str(), percent);
    }
    return 0;
}
