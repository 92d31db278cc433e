#include "platform/usb/libusb_control_transfer.h"

#include "phone/usb_devise.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <libusb.h>
#include <optional>
#include <string_view>
#include <vector>

namespace quillon {

namespace {

constexpr int kP2KInterface = 8;
constexpr std::size_t kSetupPacketSize = 8;
constexpr std::uint8_t kDeviceToHost = 0x80;

struct BusAddress {
    int bus = 0;
    int address = 0;
};

std::optional<int> ParseDecimal(std::string_view text) {
    int value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// "/dev/bus/usb/001/002" names bus 1, address 2.
std::optional<BusAddress> ParseNodePath(std::string_view path) {
    constexpr std::string_view kPrefix = "/dev/bus/usb/";
    if (!path.starts_with(kPrefix)) {
        return std::nullopt;
    }
    path.remove_prefix(kPrefix.size());
    const std::size_t slash = path.find('/');
    if (slash == std::string_view::npos) {
        return std::nullopt;
    }
    const auto bus = ParseDecimal(path.substr(0, slash));
    const auto address = ParseDecimal(path.substr(slash + 1));
    if (!bus || !address) {
        return std::nullopt;
    }
    return BusAddress{*bus, *address};
}

int ErrnoOf(int libusbError) {
    switch (libusbError) {
    case LIBUSB_ERROR_IO:
        return EIO;
    case LIBUSB_ERROR_INVALID_PARAM:
        return EINVAL;
    case LIBUSB_ERROR_ACCESS:
        return EACCES;
    case LIBUSB_ERROR_NO_DEVICE:
        return ENODEV;
    case LIBUSB_ERROR_NOT_FOUND:
        return ENOENT;
    case LIBUSB_ERROR_BUSY:
        return EBUSY;
    case LIBUSB_ERROR_TIMEOUT:
        return ETIMEDOUT;
    case LIBUSB_ERROR_OVERFLOW:
        return EOVERFLOW;
    case LIBUSB_ERROR_PIPE:
        return EPIPE;
    case LIBUSB_ERROR_INTERRUPTED:
        return EINTR;
    case LIBUSB_ERROR_NO_MEM:
        return ENOMEM;
    case LIBUSB_ERROR_NOT_SUPPORTED:
        return ENOTSUP;
    default:
        return EIO;
    }
}

std::uint16_t LittleEndian16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

// libusb reads 0 as "wait for ever"; every request here has a bound.
unsigned int TimeoutMilliseconds(std::chrono::milliseconds timeout) {
    return static_cast<unsigned int>(std::clamp<long long>(timeout.count(), 1, 0x7FFFFFFF));
}

class LibusbControlChannel final : public ControlChannel {
public:
    LibusbControlChannel(libusb_context* context, libusb_device_handle* device)
        : context_(context), device_(device) {}
    LibusbControlChannel(const LibusbControlChannel&) = delete;
    LibusbControlChannel& operator=(const LibusbControlChannel&) = delete;
    ~LibusbControlChannel() override { Release(); }

    ExchangeResult Exchange(std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                            std::chrono::milliseconds timeout) override {
        if (device_ == nullptr) {
            return {ExchangeOutcome::Error, 0, EBADF};
        }
        if (input.size() < kSetupPacketSize) {
            return {ExchangeOutcome::Error, 0, EINVAL};
        }
        const std::uint8_t requestType = input[0];
        const bool deviceToHost = (requestType & kDeviceToHost) != 0;
        const std::uint16_t length = LittleEndian16(input, 6);
        std::vector<std::uint8_t> dataStage;
        std::uint8_t* data = nullptr;
        std::uint16_t dataLength = 0;
        if (deviceToHost) {
            dataLength = static_cast<std::uint16_t>(std::min<std::size_t>(length, output.size()));
            data = output.data();
        } else {
            if (input.size() - kSetupPacketSize < length) {
                return {ExchangeOutcome::Error, 0, EINVAL};
            }
            dataStage.assign(input.begin() + kSetupPacketSize,
                             input.begin() + kSetupPacketSize + length);
            dataLength = length;
            data = dataStage.data();
        }
        const int status = libusb_control_transfer(
            device_, requestType, input[1], LittleEndian16(input, 2), LittleEndian16(input, 4),
            data, dataLength, TimeoutMilliseconds(timeout));
        if (status == LIBUSB_ERROR_TIMEOUT) {
            return {ExchangeOutcome::TimedOut, 0, ETIMEDOUT};
        }
        if (status < 0) {
            return {ExchangeOutcome::Error, 0, ErrnoOf(status)};
        }
        return {ExchangeOutcome::Ok, deviceToHost ? static_cast<std::size_t>(status) : 0, 0};
    }

    // A phone that vanished cannot be released; the channel is freed all the same.
    int Close() override {
        if (device_ == nullptr) {
            return EBADF;
        }
        Release();
        return 0;
    }

private:
    void Release() {
        if (device_ != nullptr) {
            libusb_release_interface(device_, kP2KInterface);
            libusb_close(device_);
            device_ = nullptr;
        }
        if (context_ != nullptr) {
            libusb_exit(context_);
            context_ = nullptr;
        }
    }

    libusb_context* context_;
    libusb_device_handle* device_;
};

bool IsMotorola(libusb_device* device) {
    libusb_device_descriptor descriptor{};
    return libusb_get_device_descriptor(device, &descriptor) == LIBUSB_SUCCESS &&
           descriptor.idVendor == kMotorolaVendorId;
}

// The Motorola device at `where` opened, or a libusb error code: no other maker's device is
// ever claimed.
int OpenAt(libusb_context* context, BusAddress where, libusb_device_handle*& device) {
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    if (count < 0) {
        return static_cast<int>(count);
    }
    int status = LIBUSB_ERROR_NO_DEVICE;
    for (ssize_t i = 0; i < count; ++i) {
        if (libusb_get_bus_number(list[i]) == where.bus &&
            libusb_get_device_address(list[i]) == where.address && IsMotorola(list[i])) {
            status = libusb_open(list[i], &device);
            break;
        }
    }
    libusb_free_device_list(list, 1);
    return status;
}

// Claims the P2K interface; a kernel driver bound to it is detached now and re-attached when
// the interface is released.
int ClaimP2KInterface(libusb_device_handle* device) {
    const int detach = libusb_set_auto_detach_kernel_driver(device, 1);
    if (detach != LIBUSB_SUCCESS && detach != LIBUSB_ERROR_NOT_SUPPORTED) {
        return detach;
    }
    return libusb_claim_interface(device, kP2KInterface);
}

} // namespace

std::unique_ptr<ControlChannel> LibusbControlTransferDriver::Open(const std::string& devicePath,
                                                                  int& error) {
    const auto where = ParseNodePath(devicePath);
    if (!where) {
        error = ENOENT;
        return nullptr;
    }
    libusb_context* context = nullptr;
    int status = libusb_init(&context);
    if (status != LIBUSB_SUCCESS) {
        error = ErrnoOf(status);
        return nullptr;
    }
    libusb_device_handle* device = nullptr;
    status = OpenAt(context, *where, device);
    if (status == LIBUSB_SUCCESS) {
        status = ClaimP2KInterface(device);
        if (status != LIBUSB_SUCCESS) {
            libusb_close(device);
        }
    }
    if (status != LIBUSB_SUCCESS) {
        libusb_exit(context);
        error = ErrnoOf(status);
        return nullptr;
    }
    error = 0;
    return std::make_unique<LibusbControlChannel>(context, device);
}

} // namespace quillon
