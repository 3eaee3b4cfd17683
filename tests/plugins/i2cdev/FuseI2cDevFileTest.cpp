#define FUSE_USE_VERSION 35
#include <fuse_lowlevel.h>
#include <gtest/gtest.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <thread>
#include <vector>

#include "RecordingBus.h"
#include "TestFiles.h"
#include "plugins/i2cdev/I2cDevFile.h"

namespace tessaly {
namespace {

// A fake device file i2c-3 that the kernel itself serves from a FUSE file system, so that the real open
// and ioctl calls reach this object through the kernel. I2C_FUNCS answers functions; I2C_RDWR fails with
// error when it is set and otherwise hands the messages to bus; any other request fails with ENOTTY. The
// kernel passes these requests on without their data, so the server reads and writes the caller's
// structures in place: it works only inside the test process.
class FuseI2cDevice {
  public:
    explicit FuseI2cDevice(test::RecordingBus& bus) : bus_(bus) {
        fuse_lowlevel_ops operations{};
        operations.lookup = Lookup;
        operations.getattr = [](fuse_req_t request, fuse_ino_t inode, fuse_file_info*) {
            const struct stat attributes = Attributes(inode);
            fuse_reply_attr(request, &attributes, 0);
        };
        operations.open = [](fuse_req_t request, fuse_ino_t, fuse_file_info* file) {
            file->direct_io = 1;
            fuse_reply_open(request, file);
        };
        operations.ioctl = Ioctl;
        char program[] = "tessaly-fuse-i2c";
        char* arguments[] = {program, nullptr};
        fuse_args args = FUSE_ARGS_INIT(1, arguments);
        session_ = fuse_session_new(&args, &operations, sizeof operations, this);
        fuse_opt_free_args(&args);  // the session added its own options to the list
        if (session_ != nullptr && fuse_session_mount(session_, mountPoint_.Path().c_str()) != 0) {
            fuse_session_destroy(session_);
            session_ = nullptr;
        }
        if (session_ != nullptr) {
            loop_ = std::thread([session = session_] { fuse_session_loop(session); });
        }
    }
    ~FuseI2cDevice() {
        if (session_ != nullptr) {
            fuse_session_exit(session_);
            fuse_session_unmount(session_);  // ends the loop's wait for the next request
            loop_.join();
            fuse_session_destroy(session_);
        }
    }

    // Mounting needs /dev/fuse and the right to mount.
    bool IsMounted() const { return session_ != nullptr; }
    std::string DeviceFile() const { return (mountPoint_.Path() / "i2c-3").string(); }

    std::atomic<unsigned long> functions{I2C_FUNC_I2C};
    std::atomic<int> error{0};

  private:
    static struct stat Attributes(fuse_ino_t inode) {
        struct stat attributes {};
        attributes.st_ino = inode;
        attributes.st_uid = ::getuid();
        attributes.st_mode = inode == FUSE_ROOT_ID ? S_IFDIR | 0755 : S_IFREG | 0666;
        attributes.st_nlink = 1;
        return attributes;
    }

    static void Lookup(fuse_req_t request, fuse_ino_t parent, const char* name) {
        if (parent != FUSE_ROOT_ID || std::string_view(name) != "i2c-3") {
            fuse_reply_err(request, ENOENT);
            return;
        }
        fuse_entry_param entry{};
        entry.ino = 2;
        entry.attr = Attributes(entry.ino);
        fuse_reply_entry(request, &entry);
    }

    static void Ioctl(fuse_req_t request, fuse_ino_t, unsigned int command, void* argument, fuse_file_info*,
                      unsigned, const void*, size_t, size_t) {
        FuseI2cDevice& device = *static_cast<FuseI2cDevice*>(fuse_req_userdata(request));
        if (command == I2C_FUNCS) {
            *static_cast<unsigned long*>(argument) = device.functions;
            fuse_reply_ioctl(request, 0, nullptr, 0);
            return;
        }
        if (command != I2C_RDWR || device.error != 0) {
            fuse_reply_err(request, command != I2C_RDWR ? ENOTTY : device.error.load());
            return;
        }
        const auto& data = *static_cast<i2c_rdwr_ioctl_data*>(argument);
        std::vector<I2cMessage> messages;
        for (const i2c_msg& message : std::span(data.msgs, data.nmsgs)) {
            messages.push_back({static_cast<std::uint8_t>(message.addr), (message.flags & I2C_M_RD) != 0,
                                message.buf, message.len});
        }
        device.bus_.Transfer(messages);
        fuse_reply_ioctl(request, static_cast<int>(data.nmsgs), nullptr, 0);
    }

    test::RecordingBus& bus_;
    test::TempDirectory mountPoint_;
    fuse_session* session_ = nullptr;
    std::thread loop_;
};

class FuseI2cDevFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!device.IsMounted()) {
            GTEST_SKIP() << "no fake device file: no /dev/fuse, or no right to mount";
        }
    }

    test::RecordingBus bus;
    FuseI2cDevice device{bus};
};

TEST_F(FuseI2cDevFileTest, APlainI2cAdapterOpensSilentlyAndMessagesGoThroughI2cRdwrBothWays) {
    device.functions = I2C_FUNC_SMBUS_BYTE | I2C_FUNC_SMBUS_BYTE_DATA | I2C_FUNC_SMBUS_I2C_BLOCK;
    EXPECT_EQ(I2cDevFile::Open(device.DeviceFile()).state, AdapterState::NoPlainI2c);
    device.functions = I2C_FUNC_I2C;
    AdapterConnection connection = I2cDevFile::Open(device.DeviceFile());
    ASSERT_EQ(connection.state, AdapterState::Ready);
    EXPECT_TRUE(bus.log.empty());

    std::uint8_t address = 0x12;
    std::vector<std::uint8_t> buffer(4);
    const I2cMessage messages[] = {{0x55, false, &address, 1}, {0x55, true, buffer.data(), 4}};
    EXPECT_EQ(connection.transport->Transfer(messages), PluginStatus::Ok);
    EXPECT_EQ(bus.log.back(),
              (std::vector<test::RecordingBus::Message>{{0x55, false, {0x12}}, {0x55, true, {0, 0, 0, 0}}}));
    EXPECT_EQ(buffer, (std::vector<std::uint8_t>{0xA0, 0xA1, 0xA2, 0xA3}));
    device.error = ENXIO;
    EXPECT_EQ(connection.transport->Transfer(messages), PluginStatus::NoAnswer);
}

}  // namespace
}  // namespace tessaly
