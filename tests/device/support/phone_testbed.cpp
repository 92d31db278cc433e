#include "phone_testbed.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <deque>
#include <map>
#include <stdexcept>
#include <sys/ioctl.h>
#include <utility>

#include <linux/usbdevice_fs.h>
#include <scsi/sg.h>
#include <termios.h>
#include <umockdev.h>

namespace quillon::device_test {

namespace {

constexpr char kHostController[] = "/sys/devices/pci0000:00/0000:00:14.0";

std::string Hex4(unsigned value) {
    char digits[5];
    std::snprintf(digits, sizeof digits, "%04x", value);
    return digits;
}

std::string Hex2(unsigned value) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", value);
    return digits;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        text += Hex2(byte);
    }
    return text;
}

std::string Decimal3(int value) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%03d", value);
    return digits;
}

struct InterfaceLayout {
    int number;
    int interfaceClass;
    int subClass;
    int protocol;
    std::string text;
    std::string driver;
};

std::uint8_t Low(unsigned value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}
std::uint8_t High(unsigned value) {
    return static_cast<std::uint8_t>(value >> 8);
}

// The device descriptor and one configuration with the given interfaces, none with endpoints:
// the binary "descriptors" attribute libusb reads from sysfs.
std::vector<std::uint8_t> Descriptors(const UsbPhone& phone,
                                      const std::vector<InterfaceLayout>& interfaces) {
    std::vector<std::uint8_t> bytes{18,
                                    1,
                                    0x00,
                                    0x02,
                                    0,
                                    0,
                                    0,
                                    64,
                                    Low(phone.vendor),
                                    High(phone.vendor),
                                    Low(phone.product),
                                    High(phone.product),
                                    0x00,
                                    0x00,
                                    1,
                                    2,
                                    0,
                                    1};
    const unsigned total = 9 + 9 * static_cast<unsigned>(interfaces.size());
    const std::vector<std::uint8_t> configuration{
        9, 2, Low(total), High(total), static_cast<std::uint8_t>(interfaces.size()),
        1, 0, 0x80,       50};
    bytes.insert(bytes.end(), configuration.begin(), configuration.end());
    for (const InterfaceLayout& layout : interfaces) {
        const std::vector<std::uint8_t> interface {
            9, 4, static_cast<std::uint8_t>(layout.number), 0, 0,
                static_cast<std::uint8_t>(layout.interfaceClass),
                static_cast<std::uint8_t>(layout.subClass),
                static_cast<std::uint8_t>(layout.protocol), 0
        };
        bytes.insert(bytes.end(), interface.begin(), interface.end());
    }
    return bytes;
}

std::string DeviceSyspath(const UsbPhone& phone) {
    return std::string(kHostController) + "/usb" + std::to_string(phone.bus) + "/" + phone.Name();
}

std::string InterfaceSyspath(const UsbPhone& phone, int number) {
    return DeviceSyspath(phone) + "/" + phone.Name() + ":1." + std::to_string(number);
}

// umockdev's record format: P: sysfs path below /sys, N: node below /dev, E: property,
// A: attribute, H: binary attribute, L: link.
std::string DeviceRecord(const UsbPhone& phone, const std::vector<InterfaceLayout>& interfaces) {
    const std::string node = "bus/usb/" + Decimal3(phone.bus) + "/" + Decimal3(phone.address);
    std::string record =
        "P: " + DeviceSyspath(phone).substr(4) + "\nN: " + node +
        "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DEVNAME=/dev/" + node +
        "\nE: BUSNUM=" + Decimal3(phone.bus) + "\nE: DEVNUM=" + Decimal3(phone.address) +
        "\nA: idVendor=" + Hex4(phone.vendor) + "\nA: idProduct=" + Hex4(phone.product) +
        "\nA: manufacturer=" + phone.manufacturer + "\nA: product=" + phone.productName +
        "\nA: busnum=" + std::to_string(phone.bus) +
        "\nA: devnum=" + std::to_string(phone.address) +
        "\nA: bConfigurationValue=1\nA: bNumConfigurations=1\nA: speed=480" +
        "\nH: descriptors=" + Hex(Descriptors(phone, interfaces)) +
        "\nL: driver=../../../../../bus/usb/drivers/usb\n\n";
    for (const InterfaceLayout& layout : interfaces) {
        record += "P: " + InterfaceSyspath(phone, layout.number).substr(4) +
                  "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface" +
                  "\nA: bInterfaceNumber=" + Hex2(static_cast<unsigned>(layout.number)) +
                  "\nA: bInterfaceClass=" + Hex2(static_cast<unsigned>(layout.interfaceClass)) +
                  "\nA: bInterfaceSubClass=" + Hex2(static_cast<unsigned>(layout.subClass)) +
                  "\nA: bInterfaceProtocol=" + Hex2(static_cast<unsigned>(layout.protocol)) + "\n";
        if (!layout.text.empty()) {
            record += "A: interface=" + layout.text + "\n";
        }
        if (!layout.driver.empty()) {
            record += "L: driver=../../../../../../bus/usb/drivers/" + layout.driver + "\n";
        }
        record += "\n";
    }
    return record;
}

// Reads the client's memory behind a pointer-sized ioctl argument.
UMockdevIoctlData* Resolve(UMockdevIoctlData* argument, std::size_t size) {
    return umockdev_ioctl_data_resolve(argument, 0, size, nullptr);
}

template <typename T> T* As(UMockdevIoctlData* data) {
    return data != nullptr ? reinterpret_cast<T*>(data->data) : nullptr;
}

} // namespace

UsbPhone PhoneAt(int port, std::uint16_t vendor) {
    UsbPhone phone;
    phone.port = port;
    phone.address = port + 1;
    phone.vendor = vendor;
    return phone;
}

std::string UsbPhone::NodePath() const {
    return "/dev/bus/usb/" + Decimal3(bus) + "/" + Decimal3(address);
}

// ----- usbdevfs -----

struct UsbdevfsEmulation::State {
    ControlResponder responder;
    mutable std::mutex mutex;
    std::map<unsigned, std::string> kernelDrivers;
    std::deque<gulong> reapable; // client addresses of finished URBs
    std::vector<gulong> silent;  // client addresses of URBs that never finish on their own
    Log log;
    UMockdevIoctlBase* handler = nullptr;

    static gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        auto* state = static_cast<State*>(self);
        std::lock_guard lock(state->mutex);
        state->Handle(client);
        return TRUE;
    }

    void Handle(UMockdevIoctlClient* client) {
        const gulong request = umockdev_ioctl_client_get_request(client);
        UMockdevIoctlData* argument = umockdev_ioctl_client_get_arg(client);
        int error = 0;
        switch (request) {
        case USBDEVFS_GET_CAPABILITIES:
            if (auto* caps = As<std::uint32_t>(Resolve(argument, sizeof(std::uint32_t)))) {
                *caps = 0;
            }
            break;
        case USBDEVFS_GETDRIVER:
            error =
                GetDriver(As<usbdevfs_getdriver>(Resolve(argument, sizeof(usbdevfs_getdriver))));
            break;
        case USBDEVFS_DISCONNECT_CLAIM:
            DisconnectClaim(As<usbdevfs_disconnect_claim>(
                Resolve(argument, sizeof(usbdevfs_disconnect_claim))));
            break;
        case USBDEVFS_IOCTL:
            DriverIoctl(As<usbdevfs_ioctl>(Resolve(argument, sizeof(usbdevfs_ioctl))));
            break;
        case USBDEVFS_CLAIMINTERFACE:
            log.claimed.push_back(*As<unsigned>(Resolve(argument, sizeof(unsigned))));
            break;
        case USBDEVFS_RELEASEINTERFACE:
            log.released.push_back(*As<unsigned>(Resolve(argument, sizeof(unsigned))));
            break;
        case USBDEVFS_SUBMITURB:
            error = Submit(Resolve(argument, sizeof(usbdevfs_urb)));
            break;
        case USBDEVFS_DISCARDURB:
            error = Discard(Resolve(argument, sizeof(usbdevfs_urb)));
            break;
        case USBDEVFS_REAPURB:
        case USBDEVFS_REAPURBNDELAY:
            error = Reap(Resolve(argument, sizeof(gpointer)));
            break;
        default:
            log.unhandled.push_back(request);
            error = ENOTTY;
        }
        umockdev_ioctl_client_complete(client, error == 0 ? 0 : -1, error);
    }

    int GetDriver(usbdevfs_getdriver* query) {
        const auto bound = kernelDrivers.find(query->interface);
        if (bound == kernelDrivers.end()) {
            return ENODATA;
        }
        std::snprintf(query->driver, sizeof query->driver, "%s", bound->second.c_str());
        return 0;
    }

    void DisconnectClaim(const usbdevfs_disconnect_claim* claim) {
        if (kernelDrivers.erase(claim->interface) > 0) {
            log.detached.push_back(claim->interface);
        }
        log.claimed.push_back(claim->interface);
    }

    void DriverIoctl(const usbdevfs_ioctl* command) {
        const auto interfaceNumber = static_cast<unsigned>(command->ifno);
        if (command->ioctl_code == static_cast<int>(USBDEVFS_DISCONNECT) &&
            kernelDrivers.erase(interfaceNumber) > 0) {
            log.detached.push_back(interfaceNumber);
        } else if (command->ioctl_code == static_cast<int>(USBDEVFS_CONNECT)) {
            log.reattached.push_back(interfaceNumber);
        }
    }

    int Submit(UMockdevIoctlData* urbData) {
        auto* urb = As<usbdevfs_urb>(urbData);
        if (urb->type != USBDEVFS_URB_TYPE_CONTROL || urb->buffer_length < 8) {
            return EINVAL;
        }
        UMockdevIoctlData* bufferData =
            umockdev_ioctl_data_resolve(urbData, offsetof(usbdevfs_urb, buffer),
                                        static_cast<gsize>(urb->buffer_length), nullptr);
        std::uint8_t* buffer = bufferData->data;
        ControlRequest control{buffer[0],
                               buffer[1],
                               static_cast<std::uint16_t>(buffer[2] | (buffer[3] << 8)),
                               static_cast<std::uint16_t>(buffer[4] | (buffer[5] << 8)),
                               static_cast<std::uint16_t>(buffer[6] | (buffer[7] << 8)),
                               {}};
        const bool toHost = (control.requestType & 0x80) != 0;
        const int stage = std::min(urb->buffer_length - 8, static_cast<int>(control.length));
        if (!toHost) {
            control.data.assign(buffer + 8, buffer + 8 + stage);
        }
        log.requests.push_back(control);
        const ControlReply reply = responder(control);
        if (reply.submitError != 0) {
            return reply.submitError;
        }
        if (reply.silent) {
            silent.push_back(urbData->client_addr);
            return 0;
        }
        int actual = stage;
        if (toHost) {
            actual = std::min(stage, static_cast<int>(reply.data.size()));
            std::copy_n(reply.data.begin(), actual, buffer + 8);
        }
        urb->actual_length = actual;
        urb->status = reply.urbStatus;
        reapable.push_back(urbData->client_addr);
        return 0;
    }

    // The kernel completes a discarded URB with -ENOENT; the host then reaps it.
    int Discard(UMockdevIoctlData* urbData) {
        const auto it = std::find(silent.begin(), silent.end(), urbData->client_addr);
        if (it == silent.end()) {
            return EINVAL;
        }
        silent.erase(it);
        auto* urb = As<usbdevfs_urb>(urbData);
        urb->actual_length = 0;
        urb->status = -ENOENT;
        reapable.push_back(urbData->client_addr);
        return 0;
    }

    int Reap(UMockdevIoctlData* pointerData) {
        if (reapable.empty()) {
            return EAGAIN;
        }
        gulong address = reapable.front();
        reapable.pop_front();
        umockdev_ioctl_data_update(pointerData, 0, reinterpret_cast<guint8*>(&address),
                                   sizeof address);
        return 0;
    }
};

UsbdevfsEmulation::UsbdevfsEmulation()
    : UsbdevfsEmulation([](const ControlRequest&) { return ControlReply{}; }) {}

UsbdevfsEmulation::UsbdevfsEmulation(ControlResponder responder)
    : state_(std::make_unique<State>()) {
    state_->responder = std::move(responder);
    state_->handler = umockdev_ioctl_base_new();
    g_signal_connect(state_->handler, "handle-ioctl", G_CALLBACK(&State::OnIoctl), state_.get());
}

UsbdevfsEmulation::~UsbdevfsEmulation() {
    g_signal_handlers_disconnect_by_data(state_->handler, state_.get());
    g_object_unref(state_->handler);
}

void UsbdevfsEmulation::BindKernelDriver(unsigned interfaceNumber, std::string driver) {
    std::lock_guard lock(state_->mutex);
    state_->kernelDrivers[interfaceNumber] = std::move(driver);
}

UsbdevfsEmulation::Log UsbdevfsEmulation::TakeLog() const {
    std::lock_guard lock(state_->mutex);
    return std::exchange(state_->log, {});
}

// ----- SG_IO -----

struct ScsiEmulation::State {
    mutable std::mutex mutex;
    int refusal = 0;
    std::vector<ScsiCommand> commands;
    UMockdevIoctlBase* handler = nullptr;

    static gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        auto* state = static_cast<State*>(self);
        std::lock_guard lock(state->mutex);
        const int error = umockdev_ioctl_client_get_request(client) == SG_IO
                              ? state->Execute(umockdev_ioctl_client_get_arg(client))
                              : ENOTTY;
        umockdev_ioctl_client_complete(client, error == 0 ? 0 : -1, error);
        return TRUE;
    }

    int Execute(UMockdevIoctlData* argument) {
        UMockdevIoctlData* headerData = Resolve(argument, sizeof(sg_io_hdr_t));
        auto* header = As<sg_io_hdr_t>(headerData);
        UMockdevIoctlData* cdbData = umockdev_ioctl_data_resolve(
            headerData, offsetof(sg_io_hdr_t, cmdp), header->cmd_len, nullptr);
        commands.push_back(
            {std::vector<std::uint8_t>(cdbData->data, cdbData->data + header->cmd_len),
             header->dxfer_direction, header->dxfer_len, header->timeout});
        if (refusal != 0) {
            return refusal;
        }
        header->status = 0;
        header->masked_status = 0;
        header->host_status = 0;
        header->driver_status = 0;
        header->sb_len_wr = 0;
        header->resid = 0;
        header->info = 0;
        return 0;
    }
};

ScsiEmulation::ScsiEmulation() : state_(std::make_unique<State>()) {
    state_->handler = umockdev_ioctl_base_new();
    g_signal_connect(state_->handler, "handle-ioctl", G_CALLBACK(&State::OnIoctl), state_.get());
}

ScsiEmulation::~ScsiEmulation() {
    g_signal_handlers_disconnect_by_data(state_->handler, state_.get());
    g_object_unref(state_->handler);
}

void ScsiEmulation::RefuseWith(int error) {
    std::lock_guard lock(state_->mutex);
    state_->refusal = error;
}

std::vector<ScsiCommand> ScsiEmulation::Commands() const {
    std::lock_guard lock(state_->mutex);
    return state_->commands;
}

// ----- the testbed -----

PhoneTestbed::PhoneTestbed() : testbed_(umockdev_testbed_new()) {
    if (!umockdev_in_mock_environment()) {
        throw std::runtime_error("device tests must run under umockdev-wrapper");
    }
}

PhoneTestbed::~PhoneTestbed() {
    g_object_unref(testbed_);
}

void PhoneTestbed::Add(const std::string& record) {
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed_, record.c_str(), &error)) {
        const std::string message = error->message;
        g_error_free(error);
        throw std::runtime_error("umockdev record refused: " + message);
    }
}

void PhoneTestbed::Attach(const std::string& node, void* handler) {
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(testbed_, node.c_str(),
                                       static_cast<UMockdevIoctlBase*>(handler), &error)) {
        const std::string message = error->message;
        g_error_free(error);
        throw std::runtime_error("cannot emulate " + node + ": " + message);
    }
}

std::string PhoneTestbed::PlugP2K(const UsbPhone& phone, UsbdevfsEmulation& usbdevfs,
                                  const std::string& interfaceText) {
    Add(DeviceRecord(phone, {{8, 0xFF, 0xFF, 0xFF, interfaceText, ""}}));
    Attach(phone.NodePath(), usbdevfs.state_->handler);
    plugged_.push_back(DeviceSyspath(phone));
    plugged_.push_back(InterfaceSyspath(phone, 8));
    return DeviceSyspath(phone);
}

std::string PhoneTestbed::PlugInterface(const UsbPhone& phone, int number, int interfaceClass,
                                        const std::string& interfaceText) {
    Add(DeviceRecord(phone, {{number, interfaceClass, 0, 0, interfaceText, ""}}));
    plugged_.push_back(DeviceSyspath(phone));
    plugged_.push_back(InterfaceSyspath(phone, number));
    return DeviceSyspath(phone);
}

std::string PhoneTestbed::PlugModem(const UsbPhone& phone, const std::string& tty,
                                    const std::string& interfaceText) {
    Add(DeviceRecord(phone, {{0, 0x02, 0x02, 0x01, interfaceText, "cdc_acm"},
                             {1, 0x0A, 0x00, 0x00, "Motorola Data Interface", "cdc_acm"}}));
    const std::string ttyPath = InterfaceSyspath(phone, 0) + "/tty/" + tty;
    Add("P: " + ttyPath.substr(4) + "\nN: " + tty + "\nE: SUBSYSTEM=tty\nE: DEVNAME=/dev/" + tty +
        "\n");
    plugged_.insert(plugged_.end(), {DeviceSyspath(phone), InterfaceSyspath(phone, 0),
                                     InterfaceSyspath(phone, 1), ttyPath});
    return DeviceSyspath(phone);
}

std::string PhoneTestbed::PlugDisk(const UsbPhone& phone, const std::string& disk,
                                   ScsiEmulation& scsi, const std::string& interfaceText) {
    Add(DeviceRecord(phone, {{0, 0x08, 0x06, 0x50, interfaceText, "usb-storage"}}));
    const std::string diskPath =
        InterfaceSyspath(phone, 0) + "/host0/target0:0:0/0:0:0:0/block/" + disk;
    const std::string partitionPath = diskPath + "/" + disk + "1";
    Add("P: " + diskPath.substr(4) + "\nN: " + disk + "\nE: SUBSYSTEM=block\nE: DEVTYPE=disk" +
        "\nE: DEVNAME=/dev/" + disk + "\nA: size=2048\n\nP: " + partitionPath.substr(4) +
        "\nN: " + disk + "1\nE: SUBSYSTEM=block\nE: DEVTYPE=partition\nE: DEVNAME=/dev/" + disk +
        "1\nA: partition=1\n");
    Attach("/dev/" + disk, scsi.state_->handler);
    plugged_.insert(plugged_.end(),
                    {DeviceSyspath(phone), InterfaceSyspath(phone, 0), diskPath, partitionPath});
    return DeviceSyspath(phone);
}

void PhoneTestbed::Unplug(const std::string& usbDeviceSyspath) {
    std::vector<std::string> gone;
    for (auto it = plugged_.rbegin(); it != plugged_.rend(); ++it) {
        if (it->starts_with(usbDeviceSyspath) &&
            (it->size() == usbDeviceSyspath.size() || (*it)[usbDeviceSyspath.size()] == '/')) {
            gone.push_back(*it);
        }
    }
    for (const std::string& path : gone) {
        umockdev_testbed_uevent(testbed_, path.c_str(), "remove");
    }
    umockdev_testbed_remove_device(testbed_, usbDeviceSyspath.c_str());
    std::erase_if(plugged_, [&](const std::string& path) {
        return std::find(gone.begin(), gone.end(), path) != gone.end();
    });
}

int PhoneTestbed::ModemMaster(const std::string& tty, bool lineDead) {
    const int master = umockdev_testbed_get_dev_fd(testbed_, ("/dev/" + tty).c_str());
    termios mode{};
    if (master < 0 || tcgetattr(master, &mode) != 0) {
        throw std::runtime_error("no pseudo-terminal behind /dev/" + tty);
    }
    cfsetspeed(&mode, lineDead ? B0 : B9600);
    tcsetattr(master, TCSANOW, &mode);
    return master;
}

} // namespace quillon::device_test
