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
    if (!CloseDevice(port_)) {
        DoDebug("Close Phone Failed", DebugType::dtError, false);
        return false;
    }
    DoDebug("Phone Close", DebugType::dtInformation, false);
    return true;
}

std::int32_t MotoATModemItem::WriteData(std::span<const std::uint8_t> data) {
    PortWriteResult result{0, EBADF};
    if (port_) {
        const auto bound = timeOut_ == 0 ? kModemWriteBound : std::chrono::milliseconds(timeOut_);
        result = port_->Write(data, bound);
    }
    if (result.errorCode != 0 || result.bytesWritten != data.size()) {
        DoDebug("Phone Write Data Failed", DebugType::dtError, true);
    } else {
        DoDebug("Phone Write Data", DebugType::dtInformation, true);
    }
    return static_cast<std::int32_t>(result.bytesWritten);
}

bool MotoATModemItem::SendATCommand(std::string_view text) {
    std::string line(text);
    line += "\r\n";
    const std::int32_t written =
        WriteData({reinterpret_cast<const std::uint8_t*>(line.data()), line.size()});
    // A command cut short is not a command sent.
    if (written <= 0 || static_cast<std::size_t>(written) != line.size()) {
        DoDebug("Phone Send Command Failed", DebugType::dtError, false);
        return false;
    }
    DoDebug("Phone Send Command", DebugType::dtInformation, false);
    return true;
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
    if (readBack->ReadTotalTimeoutConstant == value) {
        DoDebug("Phone Set TimeOut", DebugType::dtInformation, false);
    } else {
        DoDebug("Phone Set TimeOut Failed", DebugType::dtError, false);
    }
    timeOut_ = readBack->ReadTotalTimeoutConstant;
}

void MotoATModemItem::SwitchMode(std::uint8_t mode) {
    const std::string_view command = ModeSwitchCommand(mode);
    if (command.empty()) {
        return;
    }
    if (SendATCommand(command)) {
        DoDebug("Phone Switch", DebugType::dtInformation, false);
    } else {
        DoDebug("Phone Switch Mode Failed - Error Send Command", DebugType::dtError, false);
    }
}

} // namespace quillon
