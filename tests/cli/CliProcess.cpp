#include "CliProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <thread>
#include <utility>

extern char** environ;

namespace tessaly::test {
namespace {

constexpr auto kLongestRun = std::chrono::seconds(60);

// This process's environment with the overrides set over it, later ones winning.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& overrides) {
    std::map<std::string, std::string> byName;
    const auto set = [&byName](const std::string& entry) {
        byName[entry.substr(0, entry.find('='))] = entry;
    };
    for (char** entry = environ; *entry != nullptr; ++entry) {
        set(*entry);
    }
    for (const std::string& entry : overrides) {
        set(entry);
    }
    std::vector<std::string> entries;
    for (auto& [name, entry] : byName) {
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

std::string FileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A pseudo-terminal for the child's standard error. Its output is read while the child runs, so that a
// full terminal buffer never blocks the child.
class Terminal {
  public:
    Terminal() : master_(posix_openpt(O_RDWR | O_NOCTTY)) {
        if (master_ >= 0 && (grantpt(master_) != 0 || unlockpt(master_) != 0)) {
            close(master_);
            master_ = -1;
        }
        if (master_ >= 0) {
            fcntl(master_, F_SETFL, O_NONBLOCK);
        }
    }
    ~Terminal() {
        if (master_ >= 0) {
            close(master_);
        }
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    bool IsOpen() const { return master_ >= 0; }
    std::string DeviceName() const { return ptsname(master_); }

    // Appends what the child has written so far.
    void Drain(std::string& text) const {
        char buffer[4096];
        ssize_t count = 0;
        while (master_ >= 0 && (count = read(master_, buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<std::size_t>(count));
        }
    }

  private:
    int master_;
};

int WaitForExit(pid_t child, const Terminal* terminal, std::string& terminalText) {
    const auto deadline = std::chrono::steady_clock::now() + kLongestRun;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (terminal != nullptr) {
            terminal->Drain(terminalText);
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (terminal != nullptr) {
        terminal->Drain(terminalText);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

CliOutput RunCli(const std::vector<std::string>& args, const std::vector<std::string>& environment,
                 const std::filesystem::path& scratch, StandardOutput out, StandardError err) {
    const std::string outPath = (scratch / "cli-stdout").string();
    const std::string errPath = (scratch / "cli-stderr").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // The pipe's read end is closed before the child starts, so that its first write finds no reader.
    int pipeEnds[2] = {-1, -1};
    if (out == StandardOutput::ClosedPipe && pipe(pipeEnds) == 0) {
        close(pipeEnds[0]);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    } else {
        const char* target = out == StandardOutput::FullDevice ? "/dev/full" : outPath.c_str();
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, target, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    Terminal terminal;
    const bool onTerminal = err == StandardError::Terminal && terminal.IsOpen();
    const std::string errTarget = onTerminal ? terminal.DeviceName() : errPath;
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errTarget.c_str(),
                                     onTerminal ? O_RDWR | O_NOCTTY : O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<std::string> argv = {TESSALY_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> envp = ChildEnvironment(environment);
    std::vector<char*> argvPointers = Pointers(argv);
    std::vector<char*> envpPointers = Pointers(envp);

    CliOutput output;
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, TESSALY_CLI_PATH, &actions, nullptr, argvPointers.data(), envpPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    if (pipeEnds[1] >= 0) {
        close(pipeEnds[1]);
    }
    if (spawned != 0) {
        output.err = "cannot start " + std::string(TESSALY_CLI_PATH);
        return output;
    }
    output.status = WaitForExit(child, onTerminal ? &terminal : nullptr, output.err);
    output.out = out == StandardOutput::Captured ? FileText(outPath) : std::string();
    if (!onTerminal) {
        output.err = FileText(errPath);
    }
    return output;
}

}  // namespace tessaly::test
