#include "phone/support/simulated_p2k_phone.h"

#include <algorithm>
#include <cerrno>

namespace quillon::sim {

namespace {

constexpr std::uint8_t kHostToDeviceVendorInterface = 0x41;
constexpr std::uint8_t kDeviceToHostVendorInterface = 0xC1;
constexpr std::uint8_t kCommandRequest = 0x02;
constexpr std::uint8_t kStatusRequest = 0x00;
constexpr std::uint8_t kReadRequest = 0x01;
constexpr std::uint16_t kP2KInterface = 8;
constexpr std::size_t kCommandHeaderSize = 8;
constexpr std::size_t kPacketHeaderSize = 12;
constexpr std::size_t kStatusSize = 8;

constexpr std::uint16_t kReadSeemCommand = 0x20;
constexpr std::uint16_t kWriteSeemCommand = 0x2F;
constexpr std::uint16_t kFileCommand = 0x4A;
constexpr std::uint8_t kFileOpen = 0;
constexpr std::uint8_t kFileRead = 1;
constexpr std::uint8_t kFileWrite = 2;
constexpr std::uint8_t kFileClose = 4;
constexpr std::uint32_t kOpenForWriting = 0;

const std::vector<std::uint8_t> kRefused{0x01};
const std::vector<std::uint8_t> kAccepted{0x00};

std::uint16_t LittleEndian16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint16_t BigEndian16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

std::uint32_t BigEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

void PutBigEndian16(std::vector<std::uint8_t>& out, std::size_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

TransferAnswer Failure(int errorCode) {
    return {ExchangeOutcome::Error, {}, errorCode};
}

TransferAnswer Answer(std::vector<std::uint8_t> data, std::uint16_t wLength) {
    data.resize(std::min<std::size_t>(data.size(), wLength));
    return {ExchangeOutcome::Ok, std::move(data), 0};
}

// A seem record the way phones keep a model name: the text padded with 0x00 and 0xFF.
std::vector<std::uint8_t> DefaultModelSeem() {
    const std::string text = "SIM P2K";
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.insert(bytes.end(), {0x00, 0xFF, 0xFF, 0x00});
    return bytes;
}

} // namespace

SimulatedP2KPhone::SimulatedP2KPhone() {
    seems_[{kModelSeem, kModelRecord}] = DefaultModelSeem();
}

TransferAnswer SimulatedP2KPhone::Transfer(std::span<const std::uint8_t> setup,
                                           std::span<const std::uint8_t> dataStage) {
    std::lock_guard lock(mutex_);
    if (GoneLocked()) {
        return Failure(ENODEV);
    }
    ++transfers_;
    if (setup.size() < 8 || LittleEndian16(setup, 4) != kP2KInterface) {
        return Failure(EPIPE);
    }
    const std::uint16_t wLength = LittleEndian16(setup, 6);
    if (setup[0] == kHostToDeviceVendorInterface && setup[1] == kCommandRequest) {
        return Command(dataStage.first(std::min<std::size_t>(dataStage.size(), wLength)));
    }
    if (setup[0] == kDeviceToHostVendorInterface && setup[1] == kStatusRequest) {
        return Status(wLength);
    }
    if (setup[0] == kDeviceToHostVendorInterface && setup[1] == kReadRequest) {
        return Read(wLength);
    }
    return Failure(EPIPE);
}

bool SimulatedP2KPhone::GoneLocked() const {
    return faults_.transfersBeforeGone >= 0 && transfers_ >= faults_.transfersBeforeGone;
}

TransferAnswer SimulatedP2KPhone::Command(std::span<const std::uint8_t> dataStage) {
    if (faults_.sendErrorCode != 0) {
        return Failure(faults_.sendErrorCode);
    }
    if (dataStage.size() < kCommandHeaderSize) {
        return Failure(EPIPE);
    }
    ReceivedCommand command;
    command.sequence = BigEndian16(dataStage, 0);
    command.code = BigEndian16(dataStage, 2);
    const std::size_t length =
        std::min<std::size_t>(BigEndian16(dataStage, 4), dataStage.size() - kCommandHeaderSize);
    const auto payload = dataStage.subspan(kCommandHeaderSize, length);
    command.payload.assign(payload.begin(), payload.end());
    commands_.push_back(command);

    Reply reply{command.sequence, command.code, {}};
    if (nextReplyData_) {
        reply.data = std::move(*nextReplyData_);
        nextReplyData_.reset();
    } else {
        reply.data = Execute(command.code, payload);
    }
    replies_.push_back(std::move(reply));
    pollsSinceReply_ = 0;
    if (faults_.sendTimesOut) {
        return {ExchangeOutcome::TimedOut, {}, ETIMEDOUT};
    }
    return {};
}

TransferAnswer SimulatedP2KPhone::Status(std::uint16_t wLength) {
    if (rawStatus_) {
        return Answer(*rawStatus_, wLength);
    }
    std::vector<std::uint8_t> status(kStatusSize, 0);
    const bool ready = !replies_.empty() && pollsSinceReply_ >= faults_.pollsBeforeReady;
    if (!replies_.empty() && !ready) {
        ++pollsSinceReply_;
    }
    if (ready) {
        const std::size_t size = kPacketHeaderSize + replies_.front().data.size();
        status[5] = faults_.pendingCount.value_or(1);
        status[6] = static_cast<std::uint8_t>(size >> 8);
        status[7] = static_cast<std::uint8_t>(size);
    }
    return Answer(std::move(status), wLength);
}

TransferAnswer SimulatedP2KPhone::Read(std::uint16_t wLength) {
    if (faults_.readErrorCode != 0) {
        return Failure(faults_.readErrorCode);
    }
    if (rawRead_) {
        return Answer(*rawRead_, wLength);
    }
    std::vector<std::uint8_t> answer;
    if (replies_.empty()) {
        answer.assign(4, 0);
        return Answer(std::move(answer), wLength);
    }
    const std::vector<std::uint8_t> packet = EncodePacket(replies_.front());
    replies_.pop_front();
    PutBigEndian16(answer, 1);
    PutBigEndian16(answer, packet.size());
    PutBigEndian16(answer, packet.size());
    answer.insert(answer.end(), packet.begin(), packet.end());
    return Answer(std::move(answer), wLength);
}

std::vector<std::uint8_t> SimulatedP2KPhone::EncodePacket(const Reply& reply) const {
    std::vector<std::uint8_t> packet;
    PutBigEndian16(packet, reply.sequence);
    PutBigEndian16(packet, reply.code);
    packet.insert(packet.end(), 4, 0);
    PutBigEndian16(packet, faults_.declaredLength.value_or(reply.data.size()));
    packet.insert(packet.end(), 2, 0);
    packet.insert(packet.end(), reply.data.begin(), reply.data.end());
    return packet;
}

std::vector<std::uint8_t> SimulatedP2KPhone::Execute(std::uint16_t code,
                                                     std::span<const std::uint8_t> payload) {
    switch (code) {
    case kReadSeemCommand:
        return ReadSeem(payload);
    case kWriteSeemCommand:
        return WriteSeem(payload);
    case kFileCommand:
        return FileCommand(payload);
    default:
        return kRefused;
    }
}

std::vector<std::uint8_t> SimulatedP2KPhone::ReadSeem(std::span<const std::uint8_t> payload) const {
    if (payload.size() < 8) {
        return kRefused;
    }
    const auto found = seems_.find({BigEndian16(payload, 0), BigEndian16(payload, 2)});
    if (found == seems_.end()) {
        return kRefused;
    }
    std::vector<std::uint8_t> reply = kAccepted;
    reply.insert(reply.end(), found->second.begin(), found->second.end());
    return reply;
}

std::vector<std::uint8_t> SimulatedP2KPhone::WriteSeem(std::span<const std::uint8_t> payload) {
    if (payload.size() < 8 || payload.size() - 8 != BigEndian16(payload, 6)) {
        return kRefused;
    }
    const auto found = seems_.find({BigEndian16(payload, 0), BigEndian16(payload, 2)});
    if (found == seems_.end()) {
        return kRefused;
    }
    found->second.assign(payload.begin() + 8, payload.end());
    return kAccepted;
}

std::vector<std::uint8_t> SimulatedP2KPhone::FileCommand(std::span<const std::uint8_t> payload) {
    if (payload.size() < 4) {
        return kRefused;
    }
    const std::uint8_t subCommand = payload[3];
    if (subCommand == kFileClose) {
        if (!openFile_) {
            return kRefused;
        }
        openFile_.reset();
        return {};
    }
    if (payload.size() < 8) {
        return kRefused;
    }
    const std::uint32_t argument = BigEndian32(payload, 4);
    const auto rest = payload.subspan(8);
    if (subCommand == kFileOpen) {
        const std::string name(rest.begin(), rest.end());
        if (argument == kOpenForWriting) {
            files_[name].clear();
        } else if (!files_.contains(name)) {
            return kRefused;
        }
        openFile_ = OpenFile{name, 0};
        return kAccepted;
    }
    if (!openFile_) {
        return kRefused;
    }
    std::vector<std::uint8_t>& file = files_[openFile_->path];
    if (subCommand == kFileRead) {
        const std::size_t count =
            std::min<std::size_t>(argument, file.size() - openFile_->position);
        const auto from = file.begin() + static_cast<std::ptrdiff_t>(openFile_->position);
        openFile_->position += count;
        return {from, from + static_cast<std::ptrdiff_t>(count)};
    }
    if (subCommand == kFileWrite) {
        const std::size_t count = std::min<std::size_t>(argument, rest.size());
        file.resize(std::max(file.size(), openFile_->position + count));
        std::copy_n(rest.begin(), count,
                    file.begin() + static_cast<std::ptrdiff_t>(openFile_->position));
        openFile_->position += count;
        return kAccepted;
    }
    return kRefused;
}

void SimulatedP2KPhone::SetSeem(std::uint16_t seem, std::uint16_t record,
                                std::vector<std::uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    seems_[{seem, record}] = std::move(bytes);
}

std::optional<std::vector<std::uint8_t>> SimulatedP2KPhone::Seem(std::uint16_t seem,
                                                                 std::uint16_t record) const {
    std::lock_guard lock(mutex_);
    const auto found = seems_.find({seem, record});
    if (found == seems_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void SimulatedP2KPhone::SetFile(const std::string& path, std::vector<std::uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    files_[path] = std::move(bytes);
}

std::optional<std::vector<std::uint8_t>> SimulatedP2KPhone::File(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto found = files_.find(path);
    if (found == files_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void SimulatedP2KPhone::SetFaults(const PhoneFaults& faults) {
    std::lock_guard lock(mutex_);
    faults_ = faults;
}

PhoneFaults SimulatedP2KPhone::Faults() const {
    std::lock_guard lock(mutex_);
    return faults_;
}

void SimulatedP2KPhone::SetNextReplyData(std::vector<std::uint8_t> data) {
    std::lock_guard lock(mutex_);
    nextReplyData_ = std::move(data);
}

void SimulatedP2KPhone::SetRawStatusAnswer(std::optional<std::vector<std::uint8_t>> bytes) {
    std::lock_guard lock(mutex_);
    rawStatus_ = std::move(bytes);
}

void SimulatedP2KPhone::SetRawReadAnswer(std::optional<std::vector<std::uint8_t>> bytes) {
    std::lock_guard lock(mutex_);
    rawRead_ = std::move(bytes);
}

bool SimulatedP2KPhone::Gone() const {
    std::lock_guard lock(mutex_);
    return GoneLocked();
}

std::vector<ReceivedCommand> SimulatedP2KPhone::Commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
}

} // namespace quillon::sim
