#pragma once

#include <filesystem>

namespace tessaly {

// The simulator's stand-in for a programmer's kernel driver, so that the host's driver commands and its
// "No driver" state can be tried. It is installed unless a flag file in the simulator's directory says
// otherwise; the flag outlives the process as a real installation would. It changes nothing but what the
// driver queries report.
class PretendDriver {
  public:
    // An empty directory leaves the driver installed for good.
    explicit PretendDriver(std::filesystem::path directory);

    bool IsInstalled() const;
    // Both return false when the flag file cannot be changed, or there is no directory to keep it in.
    bool Install() const;
    bool Uninstall() const;

  private:
    std::filesystem::path flag_;
};

}  // namespace tessaly
