#include "phone/moto_at_mode.h"

#include <cerrno>
#include <string>

namespace quillon {

namespace {

std::string_view ModeSwitchCommand(std::uint8_t mode) {
    switch (mode) {
    case 0:
        return "AT+Mode=8";
    case 1:
        return "AT+Mode=22";
    default:
        return {};
    }
}

} // namespace

MotoATModemItem::MotoATModemItem(USBDevise modemInfo, ModemPortDriver& driver)
    : modemInfo_(std::move(modemInfo)), driver_(driver) {}

MotoATModemItem::~MotoATModemItem() {
    if (IsOpen()) {
        Close();
    }
}

bool MotoATModemItem::IsOpen() {
    if (!port_) {
        return false;
    }
    const auto baudRate = port_->GetBaudRate();
    if (!baudRate || *baudRate == 0) {
        Close();
        return false;
    }
    return true;
}

bool MotoATModemItem::Open() {
    if (IsOpen()) {
        return true;
    }
    int error = 0;
    port_ = driver_.Open(modemInfo_.DevicePath, error);
    if (!port_) {
        DoDebug("Open Phone Failed", DebugType::dtError, false);
        return false;
    }
    SetTimeOut(timeOut_);
    DoDebug("Open Phone", DebugType::dtInformation, false);
    return true;
}

bool MotoATModemItem::Close() {
    return ReportOutcome(CloseDevice(port_), "Phone Close", "Close Phone Failed");
}

std::int32_t MotoATModemItem::WriteData(std::span<const std::uint8_t> data) {
    PortWriteResult result{0, EBADF};
    if (port_) {
        const auto bound = timeOut_ == 0 ? kModemWriteBound : std::chrono::milliseconds(timeOut_);
        result = port_->Write(data, bound);
    }
    ReportOutcome(result.errorCode == 0 && result.bytesWritten == data.size(), "Phone Write Data",
                  "Phone Write Data Failed", true);
    return static_cast<std::int32_t>(result.bytesWritten);
}

bool MotoATModemItem::SendATCommand(std::string_view text) {
    std::string line(text);
    line += "\r\n";
    const std::int32_t written =
        WriteData({reinterpret_cast<const std::uint8_t*>(line.data()), line.size()});
    // A command cut short is not a command sent.
    return ReportOutcome(static_cast<std::size_t>(written) == line.size(), "Phone Send Command",
                         "Phone Send Command Failed");
}

void MotoATModemItem::SetTimeOut(std::uint32_t value) {
    if (!port_) {
        DoDebug("Phone Set TimeOut Failed", DebugType::dtError, false);
        return;
    }
    const auto current = port_->GetTimeouts();
    if (current && current->ReadTotalTimeoutConstant == value) {
        return;
    }
    CommTimeouts wanted;
    wanted.ReadTotalTimeoutConstant = value;
    wanted.WriteTotalTimeoutConstant = value;
    if (!port_->SetTimeouts(wanted)) {
        DoDebug("Phone Set TimeOut Failed", DebugType::dtError, false);
        return;
    }
    const auto readBack = port_->GetTimeouts();
    if (!readBack) {
        DoDebug("Phone Set TimeOut Failed - Error Get TimeOut", DebugType::dtError, false);
        return;
    }
    ReportOutcome(readBack->ReadTotalTimeoutConstant == value, "Phone Set TimeOut",
                  "Phone Set TimeOut Failed");
    timeOut_ = readBack->ReadTotalTimeoutConstant;
}

void MotoATModemItem::SwitchMode(std::uint8_t mode) {
    const std::string_view command = ModeSwitchCommand(mode);
    if (command.empty()) {
        return;
    }
    ReportOutcome(SendATCommand(command), "Phone Switch",
                  "Phone Switch Mode Failed - Error Send Command");
}

} // namespace quillon
