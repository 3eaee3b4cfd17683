#pragma once

namespace tessaly {

// The udev rule that gives the logged-in user the CH341A programmers, as resources/60-tessaly-ch341a.rules
// holds it, and the commands that install or remove it as root through pkexec, which asks for the
// password in the user's session.
struct UdevRule {
    static constexpr const char* kPath = "/etc/udev/rules.d/60-tessaly-ch341a.rules";
    static constexpr const char* kText =
        "SUBSYSTEM==\"usb\", ATTR{idVendor}==\"1a86\", ATTR{idProduct}==\"5512\", TAG+=\"uaccess\"\n";

    static bool CanInstall();
    // Runs the command and waits for it; true when it succeeded.
    static bool Install();
    static bool Uninstall();
};

}  // namespace tessaly
