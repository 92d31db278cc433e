// Half-byte insertion and removal, streamed through a private temporary file.
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <vector>

#include "editor/core/hex_editor_core.h"
#include "editor/core/hex_error.h"

namespace quillon {

namespace {

constexpr std::size_t kShiftBlock = 512;

// A file only this process can reach: created exclusively under an unpredictable name and
// unlinked at once, so that it disappears on every path, even a crash.
HexFileStream CreateShiftFile() {
    const char* tmp = std::getenv("TMPDIR");
    const std::filesystem::path folder = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    const std::string pattern = (folder / "quillon-XXXXXX.QHT").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemps(name.data(), 4, O_CLOEXEC);
    if (fd < 0) {
        throw EFOpenError(FormatMessage("Cannot create file %s.\r\n(%s.)", pattern.c_str(),
                                        std::strerror(errno)));
    }
    ::unlink(name.data());
    return HexFileStream(fd, name.data());
}

// The bytes from `position` on, shifted right by four bits (the last low half drops out).
void WriteShiftedTail(HexStream& file, const std::uint8_t* data, std::int32_t count) {
    std::array<std::uint8_t, kShiftBlock> block;
    std::uint8_t carry = 0;
    for (std::int32_t done = 0; done < count;) {
        const auto n = static_cast<std::int32_t>(std::min<std::size_t>(kShiftBlock, count - done));
        for (std::int32_t i = 0; i < n; ++i) {
            const std::uint8_t value = data[done + i];
            block[static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>((value >> 4) | (carry << 4));
            carry = value & 0x0F;
        }
        file.Write(block.data(), static_cast<std::size_t>(n));
        done += n;
    }
}

} // namespace

bool HexEditorCore::ShiftInNibble(std::int32_t position, bool highNibble) {
    if (position < 0 || position >= DataLength()) {
        return false;
    }
    CheckDocumentSize(std::int64_t{DataLength()} + 1);
    WaitCursorScope busy(*this);
    const std::int32_t tail = DataLength() - position;
    HexFileStream file = CreateShiftFile();
    WriteShiftedTail(file, data_.AddressOf(position), tail);
    const auto high = static_cast<std::uint8_t>(*data_.AddressOf(position) >> 4);
    const auto low = static_cast<std::uint8_t>(*data_.AddressOf(DataLength() - 1) & 0x0F);
    file.SetPosition(0);
    file.ReadExact(data_.AddressOf(position), static_cast<std::size_t>(tail));
    *data_.AddressOf(position) = highNibble ? high : static_cast<std::uint8_t>(high << 4);
    data_.SetSize(DataLength() + 1);
    *data_.AddressOf(DataLength() - 1) = static_cast<std::uint8_t>(low << 4);
    return true;
}

bool HexEditorCore::ShiftOutNibble(std::int32_t position, bool highNibble) {
    if (position < 0 || position >= DataLength()) {
        return false;
    }
    WaitCursorScope busy(*this);
    const std::int32_t tail = DataLength() - position;
    HexFileStream file = CreateShiftFile();
    WriteShiftedTail(file, data_.AddressOf(position), tail);
    const std::uint8_t old = *data_.AddressOf(position);
    file.SetPosition(1);
    file.ReadExact(data_.AddressOf(position), static_cast<std::size_t>(tail - 1));
    // The appended zero half first: when the removed half sits in the last byte, the merge
    // below must see it.
    std::uint8_t& last = *data_.AddressOf(DataLength() - 1);
    last = static_cast<std::uint8_t>((last & 0x0F) << 4);
    if (!highNibble) {
        std::uint8_t& byte = *data_.AddressOf(position);
        byte = static_cast<std::uint8_t>((byte & 0x0F) | (old & 0xF0));
    }
    return true;
}

} // namespace quillon
