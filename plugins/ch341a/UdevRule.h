#pragma once

namespace tessaly {

// The udev rule of resources/60-tessaly-ch341a.rules, which gives the logged-in user the CH341A
// programmers, installed or removed as root through pkexec, which asks for the password in the user's
// session.
struct UdevRule {
    static constexpr const char* kPath = "/etc/udev/rules.d/60-tessaly-ch341a.rules";

    static bool CanInstall();
    // Runs the command and waits for it; true when it succeeded.
    static bool Install();
    static bool Uninstall();
};

}  // namespace tessaly
