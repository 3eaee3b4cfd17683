#include "plugins/ch341a/LibusbBus.h"

#include <libusb.h>

#include <array>

namespace tessaly {
namespace {

constexpr unsigned char kOut = 0x02;
constexpr unsigned char kIn = 0x82;
constexpr int kInterface = 0;
// Long enough for the slowest command at 20 kHz, short enough that an unplugged programmer or a reset
// ends a transfer promptly.
constexpr unsigned kTimeoutMs = 300;

UsbResult ResultOf(int error) {
    if (error == LIBUSB_SUCCESS) {
        return UsbResult::Ok;
    }
    return error == LIBUSB_ERROR_NO_DEVICE ? UsbResult::Gone : UsbResult::Failed;
}

std::optional<UsbLocation> LocationOf(libusb_device* device) {
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != LIBUSB_SUCCESS ||
        descriptor.idVendor != LibusbBus::kVendor || descriptor.idProduct != LibusbBus::kProduct) {
        return std::nullopt;
    }
    std::array<std::uint8_t, UsbLocation::kMaxDepth> ports{};
    const int depth = libusb_get_port_numbers(device, ports.data(), static_cast<int>(ports.size()));
    if (depth <= 0) {
        return std::nullopt;
    }
    return UsbLocation{libusb_get_bus_number(device), {ports.begin(), ports.begin() + depth}};
}

class LibusbTransport : public UsbTransport {
  public:
    explicit LibusbTransport(libusb_device_handle* handle) : handle_(handle) {}
    ~LibusbTransport() override {
        libusb_release_interface(handle_, kInterface);
        libusb_close(handle_);
    }
    LibusbTransport(const LibusbTransport&) = delete;
    LibusbTransport& operator=(const LibusbTransport&) = delete;

    UsbResult Send(std::span<const std::uint8_t> bytes) override {
        int sent = 0;
        const UsbResult result =
            ResultOf(libusb_bulk_transfer(handle_, kOut, const_cast<std::uint8_t*>(bytes.data()),
                                          static_cast<int>(bytes.size()), &sent, kTimeoutMs));
        return result == UsbResult::Ok && sent != static_cast<int>(bytes.size()) ? UsbResult::Failed : result;
    }

    UsbResult Receive(std::span<std::uint8_t> buffer, std::size_t& received) override {
        int count = 0;
        const UsbResult result = ResultOf(libusb_bulk_transfer(
            handle_, kIn, buffer.data(), static_cast<int>(buffer.size()), &count, kTimeoutMs));
        received = static_cast<std::size_t>(std::max(count, 0));
        return result;
    }

  private:
    libusb_device_handle* handle_;
};

// The device list, freed with the devices' references when it goes.
class DeviceList {
  public:
    explicit DeviceList(libusb_context* context) : count_(libusb_get_device_list(context, &devices_)) {}
    ~DeviceList() {
        if (count_ >= 0) {
            libusb_free_device_list(devices_, 1);
        }
    }
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;

    std::span<libusb_device*> Devices() const {
        return {devices_, count_ > 0 ? static_cast<std::size_t>(count_) : 0};
    }

  private:
    libusb_device** devices_ = nullptr;
    ssize_t count_;
};

}  // namespace

std::shared_ptr<LibusbBus> LibusbBus::Create() {
    libusb_context* context = nullptr;
    if (libusb_init(&context) != LIBUSB_SUCCESS) {
        return nullptr;
    }
    return std::shared_ptr<LibusbBus>(new LibusbBus(context));
}

LibusbBus::~LibusbBus() {
    libusb_exit(context_);
}

std::vector<UsbLocation> LibusbBus::Programmers() {
    std::vector<UsbLocation> locations;
    const DeviceList list(context_);
    for (libusb_device* device : list.Devices()) {
        if (auto location = LocationOf(device)) {
            locations.push_back(std::move(*location));
        }
    }
    return locations;
}

bool LibusbBus::HasForbiddenProgrammer() {
    const DeviceList list(context_);
    for (libusb_device* device : list.Devices()) {
        if (!LocationOf(device)) {
            continue;
        }
        libusb_device_handle* handle = nullptr;
        const int opened = libusb_open(device, &handle);
        if (opened == LIBUSB_SUCCESS) {
            libusb_close(handle);
        } else if (opened == LIBUSB_ERROR_ACCESS) {
            return true;
        }
    }
    return false;
}

std::unique_ptr<UsbTransport> LibusbBus::Open(const UsbLocation& location) {
    const DeviceList list(context_);
    for (libusb_device* device : list.Devices()) {
        if (LocationOf(device) != location) {
            continue;
        }
        libusb_device_handle* handle = nullptr;
        if (libusb_open(device, &handle) != LIBUSB_SUCCESS) {
            return nullptr;
        }
        libusb_set_auto_detach_kernel_driver(handle, 1);
        if (libusb_claim_interface(handle, kInterface) != LIBUSB_SUCCESS) {
            libusb_close(handle);
            return nullptr;
        }
        return std::make_unique<LibusbTransport>(handle);
    }
    return nullptr;
}

}  // namespace tessaly
