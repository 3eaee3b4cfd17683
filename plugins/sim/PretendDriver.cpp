#include "plugins/sim/PretendDriver.h"

#include <fcntl.h>
#include <unistd.h>

#include <system_error>

namespace tessaly {

PretendDriver::PretendDriver(std::filesystem::path directory) {
    if (!directory.empty()) {
        flag_ = std::move(directory) / "driver-uninstalled";
    }
}

bool PretendDriver::IsInstalled() const {
    std::error_code error;
    return !std::filesystem::exists(flag_, error);
}

bool PretendDriver::Install() const {
    if (flag_.empty()) {
        return false;
    }
    std::error_code error;
    std::filesystem::remove(flag_, error);
    return !error;
}

bool PretendDriver::Uninstall() const {
    if (flag_.empty()) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(flag_.parent_path(), error);
    const int fd = ::open(flag_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    return fd >= 0 && ::close(fd) == 0;
}

}  // namespace tessaly
