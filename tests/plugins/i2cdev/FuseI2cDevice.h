#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>

#include "plugins/i2cdev/I2cTransport.h"

struct fuse_session;

namespace tessaly::test {

// A fake i2c-dev device file that the kernel itself serves: a FUSE file system, mounted on a fresh
// directory, holding one file i2c-N. The plug-in's real open and ioctl calls reach this object through
// the kernel: I2C_FUNCS answers functions, I2C_RDWR hands the messages to transport and turns its status
// into the errno an adapter driver gives (Ok: the message count; NotAcknowledged: nakErrno; otherwise
// EIO), any other request fails with ENOTTY. The kernel passes these requests on without their data, so
// the server reads and writes the caller's structures in place: it works only inside the test process.
// Mounting needs /dev/fuse and the right to mount; where that is missing IsMounted() is false and
// Problem() says why.
class FuseI2cDevice {
  public:
    FuseI2cDevice(std::uint32_t adapter, I2cTransport& transport);
    ~FuseI2cDevice();
    FuseI2cDevice(const FuseI2cDevice&) = delete;
    FuseI2cDevice& operator=(const FuseI2cDevice&) = delete;

    bool IsMounted() const { return session_ != nullptr; }
    const std::string& Problem() const { return problem_; }
    // The directory that holds i2c-N: a device root for the plug-in.
    const std::filesystem::path& DevRoot() const { return mountPoint_; }
    std::filesystem::path DeviceFile() const;

    std::atomic<unsigned long> functions;
    std::atomic<int> nakErrno;
    std::atomic<int> opens{0};
    std::atomic<int> ioctls{0};

  private:
    struct Callbacks;

    std::string fileName_;
    I2cTransport& transport_;
    std::filesystem::path mountPoint_;
    std::string problem_;
    fuse_session* session_ = nullptr;
    std::thread loop_;
};

}  // namespace tessaly::test
