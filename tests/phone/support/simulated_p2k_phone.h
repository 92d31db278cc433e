#pragma once

#include "phone/control_transfer.h"

#include <cstdint>
#include <deque>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace quillon::sim {

// What the phone does with one control transfer. For a device-to-host request `data` is the
// data stage it sends back (never longer than the setup packet's wLength); for host-to-device
// it is empty.
struct TransferAnswer {
    ExchangeOutcome outcome = ExchangeOutcome::Ok;
    std::vector<std::uint8_t> data;
    int errorCode = 0;
};

// A command as the phone received it.
struct ReceivedCommand {
    std::uint16_t sequence = 0;
    std::uint16_t code = 0;
    std::vector<std::uint8_t> payload;
};

// Faults the phone shows on demand.
struct PhoneFaults {
    bool sendTimesOut = false; // a command request reports a time-out, but the command arrives
    int sendErrorCode = 0;     // non-zero: a command request fails with it and is lost
    int readErrorCode = 0;     // non-zero: read requests fail with it (the reply stays queued)
    int pollsBeforeReady = 0;  // status polls that show nothing pending before a reply shows
    std::optional<std::uint8_t> pendingCount;    // reported instead of the true count when ready
    std::optional<std::uint16_t> declaredLength; // L put into a reply instead of the true one
    long transfersBeforeGone = -1; // >= 0: after that many transfers every transfer fails ENODEV

    static constexpr int kNeverReady = std::numeric_limits<int>::max();
};

// The P2K protocol of one phone, independent of how the transfers reach it (the simulated
// driver in unit tests, an ioctl handler in device tests). It holds seems, a small file
// system and the model seem 0117_0001. Thread-safe: every member locks.
//
// Wire layout of its answers (beyond the bytes the host relies on, the layout is the phone's):
//   status (C1 00): 8 bytes; 4-5 pending count (big-endian, so byte 5 is the count),
//                   6-7 size s of the queued reply packets (big-endian)
//   read   (C1 01): 0-1 packet count, 2-3 s, 4-5 size of the packet, then the packet:
//                   6-7 sequence, 8-9 command, 10-13 zero, 14-15 data length L, 16-17 zero,
//                   18.. the L data bytes; s = 12 + L, so the host asks for 18 + L bytes.
// Replies: seem read: status byte (0 = found) then the seem; seem write: one status byte;
// file open / write: one status byte; file read: the file bytes, no status; file close: empty.
class SimulatedP2KPhone {
public:
    static constexpr std::uint16_t kModelSeem = 0x0117;
    static constexpr std::uint16_t kModelRecord = 0x0001;

    SimulatedP2KPhone();

    TransferAnswer Transfer(std::span<const std::uint8_t> setup,
                            std::span<const std::uint8_t> dataStage);

    void SetSeem(std::uint16_t seem, std::uint16_t record, std::vector<std::uint8_t> bytes);
    std::optional<std::vector<std::uint8_t>> Seem(std::uint16_t seem, std::uint16_t record) const;
    void SetFile(const std::string& path, std::vector<std::uint8_t> bytes);
    std::optional<std::vector<std::uint8_t>> File(const std::string& path) const;

    void SetFaults(const PhoneFaults& faults);
    PhoneFaults Faults() const;
    // The data of the next reply, whatever the command (over-long or malformed replies).
    void SetNextReplyData(std::vector<std::uint8_t> data);
    // Whole answers in place of the phone's own for every status or read request (fuzzing).
    void SetRawStatusAnswer(std::optional<std::vector<std::uint8_t>> bytes);
    void SetRawReadAnswer(std::optional<std::vector<std::uint8_t>> bytes);

    bool Gone() const;
    std::vector<ReceivedCommand> Commands() const;

private:
    struct Reply {
        std::uint16_t sequence = 0;
        std::uint16_t code = 0;
        std::vector<std::uint8_t> data;
    };
    struct OpenFile {
        std::string path;
        std::size_t position = 0;
    };

    bool GoneLocked() const;
    TransferAnswer Command(std::span<const std::uint8_t> dataStage);
    TransferAnswer Status(std::uint16_t wLength);
    TransferAnswer Read(std::uint16_t wLength);
    std::vector<std::uint8_t> Execute(std::uint16_t code, std::span<const std::uint8_t> payload);
    std::vector<std::uint8_t> ReadSeem(std::span<const std::uint8_t> payload) const;
    std::vector<std::uint8_t> WriteSeem(std::span<const std::uint8_t> payload);
    std::vector<std::uint8_t> FileCommand(std::span<const std::uint8_t> payload);
    std::vector<std::uint8_t> EncodePacket(const Reply& reply) const;

    mutable std::mutex mutex_;
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::vector<std::uint8_t>> seems_;
    std::map<std::string, std::vector<std::uint8_t>> files_;
    std::optional<OpenFile> openFile_;
    std::deque<Reply> replies_;
    std::vector<ReceivedCommand> commands_;
    PhoneFaults faults_;
    std::optional<std::vector<std::uint8_t>> nextReplyData_;
    std::optional<std::vector<std::uint8_t>> rawStatus_;
    std::optional<std::vector<std::uint8_t>> rawRead_;
    int pollsSinceReply_ = 0;
    long transfers_ = 0;
};

} // namespace quillon::sim
