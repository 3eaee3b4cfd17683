#include "plugins/ch341a/UdevRule.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

#include "UdevRuleText.h"

extern char** environ;

namespace tessaly {
namespace {

// The rule goes to the shell between single quotes.
static_assert(std::string_view(kUdevRuleText).find('\'') == std::string_view::npos);

constexpr const char* kPkexec = "/usr/bin/pkexec";
// Reloads the rules and applies them to the programmers plugged in now.
constexpr const char* kReload =
    "udevadm control --reload-rules && udevadm trigger --subsystem-match=usb --attr-match=idVendor=1a86";

bool Run(const std::vector<std::string>& command) {
    std::vector<char*> arguments;
    for (const std::string& argument : command) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    pid_t child = 0;
    if (::posix_spawn(&child, arguments[0], nullptr, nullptr, arguments.data(), environ) != 0) {
        return false;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool UdevRule::CanInstall() {
    return ::access(kPkexec, X_OK) == 0;
}

bool UdevRule::Install() {
    return Run({kPkexec, "/bin/sh", "-c",
                std::string("printf '%s' '") + kUdevRuleText + "' > " + kPath + " && " + kReload});
}

bool UdevRule::Uninstall() {
    return Run({kPkexec, "/bin/sh", "-c", std::string("rm -f ") + kPath + " && " + kReload});
}

}  // namespace tessaly
