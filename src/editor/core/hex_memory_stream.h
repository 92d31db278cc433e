#pragma once

#include <cstddef>
#include <cstdint>

#include "editor/core/hex_stream.h"

namespace quillon {

// The largest document: 2 GiB less 16 MiB, so that no size or position sum overflows 32 bits.
inline constexpr std::int32_t kMaxDocumentSize = 2130706432;

// The editor's byte store: one contiguous block that grows geometrically, so that an insertion
// costs one move of the tail. Sizes are limited to kMaxDocumentSize ("Data too large").
class HexMemoryStream : public HexStream {
public:
    HexMemoryStream() = default;
    ~HexMemoryStream() override;
    HexMemoryStream(const HexMemoryStream&) = delete;
    HexMemoryStream& operator=(const HexMemoryStream&) = delete;

    std::int64_t Size() const override { return size_; }
    std::int64_t Position() const override { return position_; }
    void SetPosition(std::int64_t position) override;
    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;

    std::int32_t DataSize() const { return size_; }
    // New bytes read as zero.
    void SetSize(std::int64_t size);
    // Makes room for `capacity` bytes without changing the size.
    void Reserve(std::int64_t capacity);

    // Raises EHexEditor "Data position/length out of data bounds" if end > Size.
    void CheckBounds(std::int64_t end) const;
    // memmove inside the buffer; both ranges must lie inside the data.
    void MoveBytes(std::int32_t from, std::int32_t to, std::int32_t count);
    // Address of the byte at index (unchecked; index may be Size).
    std::uint8_t* AddressOf(std::int32_t index) { return data_ + index; }
    const std::uint8_t* AddressOf(std::int32_t index) const { return data_ + index; }
    // Bounded write at a position; the stream's Position is left as it was.
    void WriteAt(const void* buffer, std::int32_t position, std::int32_t count);

    // Reads `count` bytes from `source` straight into the buffer at Position, growing it.
    void ReadFrom(HexStream& source, std::size_t count);
    // Writes `count` bytes from Position straight to `dest`.
    void WriteTo(HexStream& dest, std::size_t count);

private:
    void Resize(std::int64_t size, bool zeroFill);
    void SetCapacity(std::size_t capacity);

    std::uint8_t* data_ = nullptr;
    std::size_t capacity_ = 0;
    std::int32_t size_ = 0;
    std::int64_t position_ = 0;
};

// Raises EHexEditor "Data too large" when a document of `size` bytes cannot be held.
void CheckDocumentSize(std::int64_t size);
// Raises EHexEditor "Data position/length out of data bounds".
[[noreturn]] void RaiseOutOfBounds();

} // namespace quillon
