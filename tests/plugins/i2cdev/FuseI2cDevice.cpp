#define FUSE_USE_VERSION 35
#include "FuseI2cDevice.h"

#include <fuse_lowlevel.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

namespace tessaly::test {
namespace {

constexpr fuse_ino_t kRoot = FUSE_ROOT_ID;
constexpr fuse_ino_t kDevice = 2;

struct stat Attributes(fuse_ino_t inode) {
    struct stat attributes {};
    attributes.st_ino = inode;
    attributes.st_uid = ::getuid();
    attributes.st_gid = ::getgid();
    if (inode == kRoot) {
        attributes.st_mode = S_IFDIR | 0755;
        attributes.st_nlink = 2;
    } else {
        attributes.st_mode = S_IFREG | 0666;
        attributes.st_nlink = 1;
    }
    return attributes;
}

}  // namespace

struct FuseI2cDevice::Callbacks {
    static FuseI2cDevice& Device(fuse_req_t request) {
        return *static_cast<FuseI2cDevice*>(fuse_req_userdata(request));
    }

    static void Lookup(fuse_req_t request, fuse_ino_t parent, const char* name) {
        if (parent != kRoot || Device(request).fileName_ != name) {
            fuse_reply_err(request, ENOENT);
            return;
        }
        fuse_entry_param entry{};
        entry.ino = kDevice;
        entry.attr = Attributes(kDevice);
        fuse_reply_entry(request, &entry);
    }

    static void GetAttributes(fuse_req_t request, fuse_ino_t inode, fuse_file_info*) {
        const struct stat attributes = Attributes(inode);
        fuse_reply_attr(request, &attributes, 0);
    }

    static void Open(fuse_req_t request, fuse_ino_t inode, fuse_file_info* file) {
        if (inode != kDevice) {
            fuse_reply_err(request, EISDIR);
            return;
        }
        ++Device(request).opens;
        file->direct_io = 1;
        file->nonseekable = 1;
        fuse_reply_open(request, file);
    }

    static void ReadDirectory(fuse_req_t request, fuse_ino_t, size_t size, off_t offset, fuse_file_info*) {
        const std::string names[] = {".", "..", Device(request).fileName_};
        const fuse_ino_t inodes[] = {kRoot, kRoot, kDevice};
        std::vector<char> buffer(size);
        std::size_t used = 0;
        for (off_t i = offset; i < 3; ++i) {
            const struct stat attributes = Attributes(inodes[i]);
            const std::size_t needed = fuse_add_direntry(request, buffer.data() + used, size - used,
                                                         names[i].c_str(), &attributes, i + 1);
            if (needed > size - used) {
                break;
            }
            used += needed;
        }
        fuse_reply_buf(request, buffer.data(), used);
    }

    static void Ioctl(fuse_req_t request, fuse_ino_t, unsigned int command, void* argument, fuse_file_info*,
                      unsigned, const void*, size_t, size_t) {
        FuseI2cDevice& device = Device(request);
        ++device.ioctls;
        if (command == I2C_FUNCS) {
            *static_cast<unsigned long*>(argument) = device.functions;
            fuse_reply_ioctl(request, 0, nullptr, 0);
        } else if (command == I2C_RDWR) {
            Transfer(request, device, *static_cast<i2c_rdwr_ioctl_data*>(argument));
        } else {
            fuse_reply_err(request, ENOTTY);
        }
    }

    static void Transfer(fuse_req_t request, FuseI2cDevice& device, const i2c_rdwr_ioctl_data& data) {
        if (data.nmsgs == 0 || data.nmsgs > I2C_RDWR_IOCTL_MAX_MSGS) {
            fuse_reply_err(request, EINVAL);
            return;
        }
        std::vector<I2cMessage> messages;
        for (__u32 i = 0; i < data.nmsgs; ++i) {
            const i2c_msg& message = data.msgs[i];
            messages.push_back({static_cast<std::uint8_t>(message.addr & 0x7F),
                                (message.flags & I2C_M_RD) != 0, message.buf, message.len});
        }
        switch (device.transport_.Transfer(messages)) {
            case Status::Ok:
                fuse_reply_ioctl(request, static_cast<int>(data.nmsgs), nullptr, 0);
                return;
            case Status::NotAcknowledged:
                fuse_reply_err(request, device.nakErrno);
                return;
            default:
                fuse_reply_err(request, EIO);
                return;
        }
    }
};

FuseI2cDevice::FuseI2cDevice(std::uint32_t adapter, I2cTransport& transport)
    : functions(I2C_FUNC_I2C),
      nakErrno(ENXIO),
      fileName_("i2c-" + std::to_string(adapter)),
      transport_(transport) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessaly-fuse-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        problem_ = "cannot create a mount point";
        return;
    }
    mountPoint_ = pattern;
    fuse_lowlevel_ops operations{};
    operations.lookup = Callbacks::Lookup;
    operations.getattr = Callbacks::GetAttributes;
    operations.open = Callbacks::Open;
    operations.readdir = Callbacks::ReadDirectory;
    operations.ioctl = Callbacks::Ioctl;
    char program[] = "tessaly-fuse-i2c";
    char* arguments[] = {program, nullptr};
    fuse_args args = FUSE_ARGS_INIT(1, arguments);
    session_ = fuse_session_new(&args, &operations, sizeof operations, this);
    fuse_opt_free_args(&args);
    if (session_ == nullptr || fuse_session_mount(session_, mountPoint_.c_str()) != 0) {
        problem_ = "cannot mount a FUSE file system (no /dev/fuse, or no right to mount)";
        if (session_ != nullptr) {
            fuse_session_destroy(session_);
            session_ = nullptr;
        }
        return;
    }
    loop_ = std::thread([session = session_] { fuse_session_loop(session); });
}

FuseI2cDevice::~FuseI2cDevice() {
    if (session_ != nullptr) {
        fuse_session_exit(session_);
        // Unmounting ends the loop's wait for the next request.
        fuse_session_unmount(session_);
        loop_.join();
        fuse_session_destroy(session_);
    }
    std::error_code error;
    std::filesystem::remove(mountPoint_, error);
}

std::filesystem::path FuseI2cDevice::DeviceFile() const {
    return mountPoint_ / fileName_;
}

}  // namespace tessaly::test
