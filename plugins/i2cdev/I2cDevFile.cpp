#include "plugins/i2cdev/I2cDevFile.h"

#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "plugins/i2cdev/I2cErrno.h"

namespace tessaly {
namespace {

// An EEPROM transfer has at most two messages; the kernel takes up to I2C_RDWR_IOCTL_MAX_MSGS.
constexpr std::size_t kMaxMessages = 2;

bool SendsPlainI2c(int descriptor) {
    unsigned long functions = 0;
    return ::ioctl(descriptor, I2C_FUNCS, &functions) == 0 && (functions & I2C_FUNC_I2C) != 0;
}

}  // namespace

AdapterConnection I2cDevFile::Open(const std::string& path) {
    // O_NONBLOCK: some other file in place of the device file (a serial line waiting for its carrier,
    // say) must not stop the caller in open. i2c-dev ignores the flag.
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        return {AdapterStateFromOpenError(errno), nullptr};
    }
    if (!SendsPlainI2c(descriptor)) {
        ::close(descriptor);
        return {AdapterState::NoPlainI2c, nullptr};
    }
    return {AdapterState::Ready, std::unique_ptr<I2cTransport>(new I2cDevFile(descriptor))};
}

I2cDevFile::~I2cDevFile() {
    ::close(descriptor_);
}

PluginStatus I2cDevFile::Transfer(std::span<const I2cMessage> messages) {
    if (messages.empty() || messages.size() > kMaxMessages) {
        return PluginStatus::InvalidRequest;
    }
    std::array<i2c_msg, kMaxMessages> kernelMessages{};
    for (std::size_t i = 0; i < messages.size(); ++i) {
        kernelMessages[i].addr = messages[i].address;
        kernelMessages[i].flags = messages[i].read ? I2C_M_RD : 0;
        kernelMessages[i].len = messages[i].length;
        kernelMessages[i].buf = messages[i].data;
    }
    i2c_rdwr_ioctl_data request{kernelMessages.data(), static_cast<__u32>(messages.size())};
    const int result = ::ioctl(descriptor_, I2C_RDWR, &request);
    if (result < 0) {
        return StatusFromTransferError(errno);
    }
    return static_cast<std::size_t>(result) == messages.size() ? PluginStatus::Ok
                                                               : PluginStatus::HardwareError;
}

}  // namespace tessaly
