#include "CliTest.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "TestFiles.h"
#include "engine/ScriptCodec.h"

extern char** environ;

namespace tessaly::test {
namespace {

constexpr auto kLongestRun = std::chrono::seconds(60);

// The master side of a pseudo-terminal, not blocking; -1 when there is none.
int OpenTerminal() {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master >= 0 &&
        (grantpt(master) != 0 || unlockpt(master) != 0 || fcntl(master, F_SETFL, O_NONBLOCK) != 0)) {
        close(master);
        return -1;
    }
    return master;
}

// Appends what the child has written to the terminal so far.
void Drain(int terminal, std::string& text) {
    char buffer[4096];
    for (ssize_t count = 0; terminal >= 0 && (count = read(terminal, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(count));
    }
}

// The terminal is read while the child runs, so that a full terminal buffer never blocks it.
int WaitForExit(pid_t child, int terminal, std::string& terminalText) {
    const auto deadline = std::chrono::steady_clock::now() + kLongestRun;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        Drain(terminal, terminalText);
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    Drain(terminal, terminalText);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

CliTest::CliTest() {
    sandbox.Environment().Set("XDG_CONFIG_HOME", Path("config"));
}

// The child inherits this process's environment, which the sandbox has set up.
CliOutput CliTest::Run(const std::vector<std::string>& args, StandardOutput out, StandardError err) const {
    const std::string outPath = Path("cli-stdout");
    const std::string errPath = Path("cli-stderr");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // The pipe's read end is closed before the child starts, so that its first write finds no reader.
    int pipeEnds[2] = {-1, -1};
    if (out == StandardOutput::ClosedPipe && pipe(pipeEnds) == 0) {
        close(pipeEnds[0]);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    const int terminal = err == StandardError::Terminal ? OpenTerminal() : -1;
    const bool onTerminal = terminal >= 0;
    const std::string errTarget = onTerminal ? ptsname(terminal) : errPath;
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errTarget.c_str(),
                                     onTerminal ? O_RDWR | O_NOCTTY : O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<std::string> argv = {TESSALY_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& text : argv) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);

    CliOutput output;
    pid_t child = 0;
    const int spawned = posix_spawn(&child, TESSALY_CLI_PATH, &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (pipeEnds[1] >= 0) {
        close(pipeEnds[1]);
    }
    output.status = spawned == 0 ? WaitForExit(child, terminal, output.err) : -1;
    if (onTerminal) {
        close(terminal);
    } else {
        output.err = ReadBytes(errPath);
    }
    output.out = out == StandardOutput::Captured ? ReadBytes(outPath) : std::string();
    return output;
}

std::string CliTest::WriteTemplate(const std::string& name, const std::string& plain) const {
    WriteBytes(Path(name), EncodeScript(plain));
    return Path(name);
}

std::string CliTest::WriteBoard(const std::string& name) const {
    return WriteTemplate(name,
                         "[Board, I2C8]\n"
                         "Serial number = NUM, 4-7, 0-FFFFFFFF, DEC\n"
                         "Hardware revision = NUM, 8, 0-FF, HEX\n"
                         "Year = NUM, 9, 0-63, DEC\n"
                         "Week = NUM, A, 1-35, DEC\n"
                         "Board name = STRING, 10-1F, ASCIIZ\n"
                         "DHCP = BIT, B.0, Off, On\n");
}

}  // namespace tessaly::test
