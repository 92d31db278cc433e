#pragma once

#include "phone/control_transfer.h"
#include "phone/debug_types.h"
#include "phone/phone_clock.h"
#include "phone/phone_item.h"
#include "phone/usb_devise.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace quillon {

// Exchanges the two bytes of a 16-bit value: P2K header and payload fields are big-endian.
constexpr std::uint16_t Swap16(std::uint16_t value) {
    return static_cast<std::uint16_t>((value << 8) | (value >> 8));
}

inline constexpr std::size_t kP2KMaxPayload = 4096;
inline constexpr std::size_t kP2KReplyBufferSize = 4101;
inline constexpr std::size_t kP2KReplyDataOffset = 18;
inline constexpr std::size_t kP2KReplyDataRoom = kP2KReplyBufferSize - kP2KReplyDataOffset;
inline constexpr int kP2KMaxStatusPolls = 200;
// All status polls of one command share this deadline, so that a silent phone cannot hold the
// window for 200 device time-outs.
inline constexpr std::chrono::milliseconds kP2KPollPhase{5000};

inline constexpr std::int32_t kP2KMaxFileRead = 4096;
inline constexpr std::int32_t kP2KMaxFileWrite = 1024;
inline constexpr std::size_t kP2KMaxFileName = 256;
inline constexpr std::size_t kP2KMaxSeemData = 255;
inline constexpr std::size_t kP2KModelRoom = 35;

// One phone in P2K command mode: the device channel, the command transaction and the seem and
// file services. Never throws; every outcome is told through OnDebugEvent.
class MotoP2KModemItem : public PhoneItemReports<MotoP2KModemItem> {
public:
    using P2KDebugEvent = DebugEvent;

    MotoP2KModemItem(USBDevise modemInfo, ControlTransferDriver& driver,
                     PhoneClock& clock = SystemPhoneClock());
    ~MotoP2KModemItem();
    MotoP2KModemItem(const MotoP2KModemItem&) = delete;
    MotoP2KModemItem& operator=(const MotoP2KModemItem&) = delete;

    const USBDevise& ModemInfo() const { return modemInfo_; }
    std::uint32_t SequenceNumber() const { return sequenceNumber_; }

    bool IsOpen() const { return channel_ != nullptr; }
    bool Open();
    bool Close();

    // One command transaction. `reply` is the room the caller gives; `replyLength` is the
    // length the phone stated, which may exceed what was copied. Fails at once when closed.
    bool SendCommand(std::uint16_t command, std::span<const std::uint8_t> payload,
                     std::span<std::uint8_t> reply, std::uint16_t& replyLength);

    // `size` is the number of seem bytes copied into `buffer` (at most its size).
    bool ReadSeem(std::uint16_t seem, std::uint16_t record, std::uint16_t thirdWord,
                  std::uint16_t fourthWord, std::span<std::uint8_t> buffer, std::uint16_t& size);
    // Sends the first `size` bytes of `data`.
    bool WriteSeem(std::uint16_t seem, std::uint16_t record, std::uint16_t thirdWord,
                   std::uint16_t size, std::span<const std::uint8_t> data);
    // The model text in UTF-8 (the phone's bytes are Windows-1251).
    std::string GetPhoneModel();
    // `name` is the phone's own bytes (Windows-1251), not UTF-8.
    bool FileOpen(std::string_view name, std::uint8_t attributes);
    // Returns the length the phone stated (0 on failure); at most buffer.size() bytes are copied.
    std::int32_t FileRead(std::span<std::uint8_t> buffer, std::int32_t count);
    // Sends the first `count` bytes of `data`.
    bool FileWrite(std::int32_t count, std::span<const std::uint8_t> data);
    bool FileClose();

private:
    bool SendRequest(std::span<const std::uint8_t> payload, std::uint16_t command);
    bool PollUntilReady(std::span<std::uint8_t> replyBuffer);
    bool ReadReply(std::span<std::uint8_t> replyBuffer, std::span<std::uint8_t> reply,
                   std::uint16_t& replyLength);
    bool SendFileStep(std::span<const std::uint8_t> payload, std::span<std::uint8_t> reply,
                      std::uint16_t& length, std::string_view done, std::string_view failed);

    USBDevise modemInfo_;
    ControlTransferDriver& driver_;
    PhoneClock& clock_;
    std::unique_ptr<ControlChannel> channel_;
    std::uint32_t sequenceNumber_ = 0;
};

} // namespace quillon
