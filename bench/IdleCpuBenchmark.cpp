// The whole desktop left alone for 10 seconds with the sample template open and the chip simulator Ready:
// the CPU time of every thread of the process (user and system) as a share of one core. The device worker
// polls the simulator all the while and the status bar refreshes every 100 ms; the target is under 1 %.
//
// The program runs in a directory of its own, whose settings file chooses the simulator and leaves every
// other setting at its default (a power-up delay of 200 ms, which paces the polls).

#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "app/CVardelApp.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kIdleTime = 10s;
constexpr auto kSettleTime = 1s;
constexpr auto kReadyTimeout = 20s;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs an event loop for a while, as the idle program would. A loop of its own: quitting the
// application's loop would close the window.
void RunEventLoop(std::chrono::milliseconds time) {
    QEventLoop loop;
    QTimer::singleShot(time, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

bool WaitUntilReady(const tessaly::CMainFrame& frame) {
    const auto deadline = Clock::now() + kReadyTimeout;
    while (frame.State() != tessaly::DeviceState::Ready && Clock::now() < deadline) {
        RunEventLoop(50ms);
    }
    return frame.State() == tessaly::DeviceState::Ready;
}

}  // namespace

int main() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessaly-idle-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path directory = pattern;
    std::filesystem::create_directories(directory / "chips");
    std::filesystem::copy_file(TESSALY_SOURCE_DIR "/examples/board-24c02.dev", directory / "board-24c02.dev");
    std::ofstream(directory / "idle_cpu_benchmark.ini") << "[Config]\nPlugin=tessaly-sim.so\nPort=24C02\n";
    std::filesystem::current_path(directory);
    setenv("TESSALY_SIM_DIR", (directory / "chips").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (directory / "config").c_str(), 1);
    if (getenv("QT_QPA_PLATFORM") == nullptr && getenv("DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }

    int argc = 2;
    std::string program = "tessaly";
    std::string file = (directory / "board-24c02.dev").string();
    char* argv[] = {program.data(), file.data(), nullptr};
    int status = 0;
    {
        tessaly::CVardelApp application(argc, argv);
        if (!application.InitInstance() || !WaitUntilReady(*application.MainFrame())) {
            std::fprintf(stderr, "the simulator did not become Ready\n");
            status = 1;
        } else {
            RunEventLoop(std::chrono::duration_cast<std::chrono::milliseconds>(kSettleTime));
            const double cpuBefore = CpuSeconds();
            const auto wallBefore = Clock::now();
            RunEventLoop(std::chrono::duration_cast<std::chrono::milliseconds>(kIdleTime));
            const double cpu = CpuSeconds() - cpuBefore;
            const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
            if (!application.MainFrame()->isVisible() ||
                application.MainFrame()->State() != tessaly::DeviceState::Ready) {
                std::fprintf(stderr, "the window was not on show with the simulator Ready throughout\n");
                status = 1;
            }
            std::printf(
                "Idle with the simulator Ready: %.3f s of CPU in %.1f s, %.2f %% of one core (target < 1 "
                "%%)\n",
                cpu, wall, 100.0 * cpu / wall);
        }
        application.ExitInstance();
    }
    std::error_code error;
    std::filesystem::remove_all(directory, error);
    return status;
}
