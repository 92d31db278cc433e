#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;

namespace quillon::device_test {

// One USB device to plug into the testbed.
struct UsbPhone {
    int bus = 1;
    int port = 1; // the device is "<bus>-<port>" in sysfs
    int address = 2;
    std::uint16_t vendor = 0x22B8;
    std::uint16_t product = 0x4902;
    std::string manufacturer = "Motorola Inc.";
    std::string productName = "Motorola Phone (E398)";

    std::string Name() const { return std::to_string(bus) + "-" + std::to_string(port); }
    std::string NodePath() const; // /dev/bus/usb/BBB/DDD
};

// A phone on bus 1 at `port`, with address port + 1.
UsbPhone PhoneAt(int port, std::uint16_t vendor = 0x22B8);

// A control request as it reached the device, and what the device does with it.
struct ControlRequest {
    std::uint8_t requestType = 0;
    std::uint8_t request = 0;
    std::uint16_t value = 0;
    std::uint16_t index = 0;
    std::uint16_t length = 0;
    std::vector<std::uint8_t> data; // the data stage of a host-to-device request
};

struct ControlReply {
    std::vector<std::uint8_t> data; // the data stage of a device-to-host request
    int urbStatus = 0;              // 0, or a negative errno such as -EPIPE for a stall
    int submitError = 0;            // an errno with which the submission itself fails
    bool silent = false;            // never completes; the host must give up and discard it
};

using ControlResponder = std::function<ControlReply(const ControlRequest&)>;

// The kernel's usbdevfs for one device node, answering libusb's ioctls. Control transfers go to
// the responder; interface claims and kernel-driver detaching are recorded. The ioctls arrive
// on a umockdev thread while the test thread waits in libusb.
class UsbdevfsEmulation {
public:
    // Without a responder every request succeeds and a device-to-host one returns no data.
    UsbdevfsEmulation();
    explicit UsbdevfsEmulation(ControlResponder responder);
    ~UsbdevfsEmulation();
    UsbdevfsEmulation(const UsbdevfsEmulation&) = delete;
    UsbdevfsEmulation& operator=(const UsbdevfsEmulation&) = delete;

    void BindKernelDriver(unsigned interfaceNumber, std::string driver);

    struct Log {
        std::vector<ControlRequest> requests;
        std::vector<unsigned> claimed;        // interfaces claimed, in order
        std::vector<unsigned> released;       // interfaces released, in order
        std::vector<unsigned> detached;       // interfaces whose kernel driver was detached
        std::vector<unsigned> reattached;     // interfaces whose kernel driver came back
        std::vector<unsigned long> unhandled; // ioctl requests answered with ENOTTY
    };
    Log TakeLog() const;

    struct State; // the ioctl handler's data, shared with the umockdev thread

private:
    friend class PhoneTestbed;
    std::unique_ptr<State> state_;
};

// One SCSI command as it reached a disk through SG_IO.
struct ScsiCommand {
    std::vector<std::uint8_t> cdb;
    int direction = 0;
    unsigned dataLength = 0;
    unsigned timeoutMs = 0;
};

// SG_IO on a disk node: records each command and answers it, or refuses it with an errno the
// way the kernel refuses a vendor command without CAP_SYS_RAWIO (EPERM).
class ScsiEmulation {
public:
    ScsiEmulation();
    ~ScsiEmulation();
    ScsiEmulation(const ScsiEmulation&) = delete;
    ScsiEmulation& operator=(const ScsiEmulation&) = delete;

    void RefuseWith(int error);
    std::vector<ScsiCommand> Commands() const;

    struct State;

private:
    friend class PhoneTestbed;
    std::unique_ptr<State> state_;
};

// A umockdev testbed with phones in each mode. Adding a device raises its "add" events;
// Unplug raises "remove" for the device and everything below it, deepest first, and then
// takes it out of sysfs.
class PhoneTestbed {
public:
    PhoneTestbed();
    ~PhoneTestbed();
    PhoneTestbed(const PhoneTestbed&) = delete;
    PhoneTestbed& operator=(const PhoneTestbed&) = delete;

    // Each returns the sysfs path of the USB device.
    std::string PlugP2K(const UsbPhone& phone, UsbdevfsEmulation& usbdevfs,
                        const std::string& interfaceText = "Motorola Test Command");
    // `interfaceText` is the string of the modem's communication interface.
    std::string PlugModem(const UsbPhone& phone, const std::string& tty,
                          const std::string& interfaceText = "Motorola Communication Interface");
    // `interfaceText` is the string of the storage interface; empty, as most phones have it,
    // the product string stands for the disk.
    std::string PlugDisk(const UsbPhone& phone, const std::string& disk, ScsiEmulation& scsi,
                         const std::string& interfaceText = "");
    // A USB device with one interface and nothing else below it.
    std::string PlugInterface(const UsbPhone& phone, int number, int interfaceClass,
                              const std::string& interfaceText);
    void Unplug(const std::string& usbDeviceSyspath);

    // The master side of the pseudo-terminal behind /dev/<tty>. The line runs at 9600 baud, or
    // at speed 0 (a dead port) when `lineDead`.
    int ModemMaster(const std::string& tty, bool lineDead = false);

private:
    void Add(const std::string& record);
    void Attach(const std::string& node, void* handler);

    UMockdevTestbed* testbed_;
    std::vector<std::string> plugged_; // sysfs paths in the order they were added
};

} // namespace quillon::device_test
