#include "phone/moto_p2k_modem_item.h"

#include "platform/codepage/codepage.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

namespace quillon {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kReadSeemCommand = 0x20;
constexpr std::uint16_t kWriteSeemCommand = 0x2F;
constexpr std::uint16_t kFileCommand = 0x4A;
constexpr std::uint8_t kFileOpenStep = 0;
constexpr std::uint8_t kFileReadStep = 1;
constexpr std::uint8_t kFileWriteStep = 2;
constexpr std::uint8_t kFileCloseStep = 4;

constexpr std::size_t kRequestHeaderSize = 16;
constexpr std::size_t kRequestTrailerSize = 2;
constexpr std::size_t kSendOutputSize = 5;
constexpr std::size_t kFetchRequestSize = 9;
constexpr std::size_t kStatusSize = 8;
constexpr std::size_t kReplyLengthOffset = 14;
constexpr std::size_t kSeemReplyRoom = 256;
constexpr std::uint8_t kOpenAttributesForReading = 0x80;
constexpr std::uint32_t kOpenModeForReading = 255;
constexpr std::uint8_t kRefusedOpenAttributes = 0x78;
constexpr std::uint8_t kOpenModeBits = 0x07;
constexpr std::uint16_t kModelSeem = 0x0117;
constexpr std::uint16_t kModelRecord = 0x0001;

void PutBigEndian16(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void PutBigEndian32(Bytes& out, std::uint32_t value) {
    PutBigEndian16(out, static_cast<std::uint16_t>(value >> 16));
    PutBigEndian16(out, static_cast<std::uint16_t>(value));
}

Bytes BigEndianWords(std::initializer_list<std::uint16_t> words) {
    Bytes out;
    for (const std::uint16_t word : words) {
        PutBigEndian16(out, word);
    }
    return out;
}

void PutLittleEndian16(std::span<std::uint8_t> out, std::size_t at, std::size_t value) {
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// The setup packet of a P2K request to interface 8.
void PutSetup(std::span<std::uint8_t> out, std::uint8_t requestType, std::uint8_t request,
              std::uint16_t value, std::size_t length) {
    out[0] = requestType;
    out[1] = request;
    PutLittleEndian16(out, 2, value);
    PutLittleEndian16(out, 4, 8);
    PutLittleEndian16(out, 6, length);
}

Bytes FilePayload(std::uint8_t step) {
    return {0, 0, 0, step};
}

std::uint32_t OpenMode(std::uint8_t attributes) {
    if (attributes == kOpenAttributesForReading) {
        return kOpenModeForReading;
    }
    return attributes & kOpenModeBits;
}

} // namespace

MotoP2KModemItem::MotoP2KModemItem(USBDevise modemInfo, ControlTransferDriver& driver,
                                   PhoneClock& clock)
    : modemInfo_(std::move(modemInfo)), driver_(driver), clock_(clock) {}

MotoP2KModemItem::~MotoP2KModemItem() {
    if (IsOpen()) {
        Close();
    }
}

bool MotoP2KModemItem::Open() {
    if (IsOpen()) {
        return true;
    }
    int error = 0;
    channel_ = driver_.Open(modemInfo_.DevicePath, error);
    return ReportOutcome(IsOpen(), "Open Phone", "Open Phone Failed");
}

bool MotoP2KModemItem::Close() {
    return ReportOutcome(CloseDevice(channel_), "Close Phone", "Close Phone Failed");
}

bool MotoP2KModemItem::SendCommand(std::uint16_t command, std::span<const std::uint8_t> payload,
                                   std::span<std::uint8_t> reply, std::uint16_t& replyLength) {
    replyLength = 0;
    if (!IsOpen() || payload.size() > kP2KMaxPayload) {
        return false;
    }
    ++sequenceNumber_;
    if (!SendRequest(payload, command)) {
        return false;
    }
    Bytes replyBuffer(kP2KReplyBufferSize, 0);
    return PollUntilReady(replyBuffer) && ReadReply(replyBuffer, reply, replyLength);
}

bool MotoP2KModemItem::SendRequest(std::span<const std::uint8_t> payload, std::uint16_t command) {
    const std::size_t n = payload.size();
    Bytes request(kRequestHeaderSize + n + kRequestTrailerSize, 0);
    PutSetup(request, 0x41, 0x02, 0, n + 8);
    const Bytes header = BigEndianWords(
        {static_cast<std::uint16_t>(sequenceNumber_), command, static_cast<std::uint16_t>(n)});
    std::copy(header.begin(), header.end(), request.begin() + 8);
    std::copy(payload.begin(), payload.end(), request.begin() + kRequestHeaderSize);

    std::array<std::uint8_t, kSendOutputSize> output{};
    // A send that times out may still have reached the phone, so only a real error stops here.
    return channel_->Exchange(request, output, kDeviceRequestTimeout).outcome !=
           ExchangeOutcome::Error;
}

bool MotoP2KModemItem::PollUntilReady(std::span<std::uint8_t> replyBuffer) {
    std::array<std::uint8_t, kFetchRequestSize> status{};
    PutSetup(status, 0xC1, 0x00, 0, kStatusSize);
    const auto deadline = clock_.Now() + kP2KPollPhase;
    for (int poll = 0; poll < kP2KMaxStatusPolls; ++poll) {
        const auto remaining = deadline - clock_.Now();
        if (remaining <= std::chrono::milliseconds::zero()) {
            return false;
        }
        const ExchangeResult result = channel_->Exchange(status, replyBuffer, remaining);
        const std::uint8_t pending = replyBuffer[5];
        // A short status would leave the count and size of an earlier answer in the buffer.
        if (result.outcome == ExchangeOutcome::Ok && result.bytesReturned >= kStatusSize &&
            (pending == 1 || pending == 2)) {
            clock_.Sleep(std::chrono::milliseconds(1));
            return true;
        }
    }
    return false;
}

bool MotoP2KModemItem::ReadReply(std::span<std::uint8_t> replyBuffer, std::span<std::uint8_t> reply,
                                 std::uint16_t& replyLength) {
    const std::size_t pending = replyBuffer[5];
    const std::size_t size = (std::size_t{replyBuffer[6]} << 8) | replyBuffer[7];
    std::array<std::uint8_t, kFetchRequestSize> read{};
    PutSetup(read, 0xC1, 0x01, static_cast<std::uint16_t>(pending),
             std::min(2 * pending + size + 4, kP2KReplyBufferSize));

    const ExchangeResult result = channel_->Exchange(read, replyBuffer, kDeviceRequestTimeout);
    // Without its length field the reply would be read with whatever the last poll left there.
    if (result.outcome != ExchangeOutcome::Ok || result.bytesReturned < kReplyLengthOffset + 2) {
        return false;
    }
    replyLength = static_cast<std::uint16_t>((replyBuffer[kReplyLengthOffset] << 8) |
                                             replyBuffer[kReplyLengthOffset + 1]);
    const std::size_t received =
        result.bytesReturned > kP2KReplyDataOffset ? result.bytesReturned - kP2KReplyDataOffset : 0;
    const std::size_t copied = std::min({std::size_t{replyLength}, received, reply.size()});
    std::copy_n(replyBuffer.begin() + kP2KReplyDataOffset, copied, reply.begin());
    return true;
}

bool MotoP2KModemItem::ReadSeem(std::uint16_t seem, std::uint16_t record, std::uint16_t thirdWord,
                                std::uint16_t fourthWord, std::span<std::uint8_t> buffer,
                                std::uint16_t& size) {
    size = 0;
    if (!IsOpen()) {
        return false;
    }
    const Bytes payload = BigEndianWords({seem, record, thirdWord, fourthWord});
    std::array<std::uint8_t, kSeemReplyRoom> reply{};
    std::uint16_t length = 0;
    if (!SendCommand(kReadSeemCommand, payload, reply, length)) {
        DoDebug("Read Seem Phone Failed - Error Read Command", DebugType::dtError, false);
        return false;
    }
    if (reply[0] != 0 || length == 0 || length > kSeemReplyRoom) {
        DoDebug("Read Seem Phone Failed - Error Read Command: no seem or access denided",
                DebugType::dtError, false);
        return false;
    }
    size = static_cast<std::uint16_t>(std::min<std::size_t>(length - 1, buffer.size()));
    std::copy_n(reply.begin() + 1, size, buffer.begin());
    DoDebug("Read Seem Phone", DebugType::dtInformation, false);
    return true;
}

bool MotoP2KModemItem::WriteSeem(std::uint16_t seem, std::uint16_t record, std::uint16_t thirdWord,
                                 std::uint16_t size, std::span<const std::uint8_t> data) {
    if (!IsOpen() || size == 0 || size > kP2KMaxSeemData || size > data.size()) {
        return false;
    }
    Bytes payload = BigEndianWords({seem, record, thirdWord, size});
    payload.insert(payload.end(), data.begin(), data.begin() + size);
    std::array<std::uint8_t, kSeemReplyRoom> reply{};
    std::uint16_t length = 0;
    if (!SendCommand(kWriteSeemCommand, payload, reply, length)) {
        DoDebug("Write Seem Phone Failed - Error Read Command", DebugType::dtError, false);
        return false;
    }
    if (length == 0 || reply[0] != 0) {
        DoDebug("Write Seem Phone Failed - Error Read Command: no seem or access denided",
                DebugType::dtError, false);
        return false;
    }
    DoDebug("Write Seem Phone", DebugType::dtInformation, false);
    return true;
}

std::string MotoP2KModemItem::GetPhoneModel() {
    if (!IsOpen()) {
        return {};
    }
    std::array<std::uint8_t, kP2KModelRoom> model{};
    std::uint16_t size = 0;
    if (!ReadSeem(kModelSeem, kModelRecord, 0, 0, model, size)) {
        DoDebug("Get Phone Model Failed - Error Read Seem Phone", DebugType::dtError, false);
        return {};
    }
    std::string ansi;
    std::copy_if(model.begin(), model.begin() + size, std::back_inserter(ansi),
                 [](std::uint8_t byte) { return byte != 0x00 && byte != 0xFF; });
    DoDebug("GetPhone Model", DebugType::dtInformation, false);
    return codepage::AnsiToUtf8(ansi);
}

bool MotoP2KModemItem::FileOpen(std::string_view name, std::uint8_t attributes) {
    if (name.size() > kP2KMaxFileName) {
        DoDebug("File Open Phone Failed - File name isn`t normal", DebugType::dtError, false);
        return false;
    }
    if ((attributes & kRefusedOpenAttributes) != 0) {
        DoDebug("File Open Phone Failed - Attribute File isn`t normal", DebugType::dtError, false);
        return false;
    }
    Bytes payload = FilePayload(kFileOpenStep);
    PutBigEndian32(payload, OpenMode(attributes));
    payload.insert(payload.end(), name.begin(), name.end());
    std::uint16_t length = 0;
    return SendFileStep(payload, {}, length, "File Open Phone",
                        "File Open Phone Failed - Error Read Command");
}

std::int32_t MotoP2KModemItem::FileRead(std::span<std::uint8_t> buffer, std::int32_t count) {
    if (count < 0 || count > kP2KMaxFileRead) {
        DoDebug("File Read Phone Failed - BuffSize isn`t normal (0 > Buffer Size > 4096)",
                DebugType::dtError, false);
        return 0;
    }
    Bytes payload = FilePayload(kFileReadStep);
    PutBigEndian32(payload, static_cast<std::uint32_t>(count));
    std::uint16_t length = 0;
    if (!SendFileStep(payload, buffer, length, "File Read Phone",
                      "File Read Phone Failed - Error Read Command")) {
        return 0;
    }
    return length;
}

bool MotoP2KModemItem::FileWrite(std::int32_t count, std::span<const std::uint8_t> data) {
    if (count < 0 || count > kP2KMaxFileWrite || static_cast<std::size_t>(count) > data.size()) {
        DoDebug("File Write Phone Failed - BuffSize isn`t normal (0 > Buffer Size > 1024)",
                DebugType::dtError, false);
        return false;
    }
    Bytes payload = FilePayload(kFileWriteStep);
    PutBigEndian32(payload, static_cast<std::uint32_t>(count));
    payload.insert(payload.end(), data.begin(), data.begin() + count);
    std::uint16_t length = 0;
    return SendFileStep(payload, {}, length, "File Write Phone",
                        "File Write Phone Failed - Error Read Command");
}

bool MotoP2KModemItem::FileClose() {
    std::uint16_t length = 0;
    return SendFileStep(FilePayload(kFileCloseStep), {}, length, "File Close Phone",
                        "File Close Phone Failed - Error Read Command") &&
           length == 0;
}

// The file services look at no reply but a read's data, which lands in `reply`.
bool MotoP2KModemItem::SendFileStep(std::span<const std::uint8_t> payload,
                                    std::span<std::uint8_t> reply, std::uint16_t& length,
                                    std::string_view done, std::string_view failed) {
    return ReportOutcome(SendCommand(kFileCommand, payload, reply, length), done, failed);
}

} // namespace quillon
