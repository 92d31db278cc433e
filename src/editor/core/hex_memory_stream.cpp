#include "editor/core/hex_memory_stream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "editor/core/hex_error.h"

namespace quillon {

namespace {

constexpr std::size_t kMinCapacity = 4096;

} // namespace

void RaiseOutOfBounds() {
    throw EHexEditor("Data position/length out of data bounds");
}

void CheckDocumentSize(std::int64_t size) {
    if (size > kMaxDocumentSize) {
        throw EHexEditor("Data too large");
    }
}

HexMemoryStream::~HexMemoryStream() {
    std::free(data_);
}

void HexMemoryStream::SetPosition(std::int64_t position) {
    if (position < 0) {
        RaiseOutOfBounds();
    }
    position_ = position;
}

std::size_t HexMemoryStream::Read(void* buffer, std::size_t count) {
    const std::int64_t available = std::max<std::int64_t>(0, size_ - position_);
    const std::size_t n = std::min(count, static_cast<std::size_t>(available));
    if (n > 0) {
        std::memcpy(buffer, data_ + position_, n);
    }
    position_ += static_cast<std::int64_t>(n);
    return n;
}

void HexMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) {
        return;
    }
    const std::int64_t end = position_ + static_cast<std::int64_t>(count);
    if (end > size_) {
        Resize(end, true);
    }
    std::memcpy(data_ + position_, buffer, count);
    position_ = end;
}

void HexMemoryStream::SetSize(std::int64_t size) {
    Resize(size, true);
}

void HexMemoryStream::Reserve(std::int64_t capacity) {
    CheckDocumentSize(capacity);
    if (capacity > 0 && static_cast<std::size_t>(capacity) > capacity_) {
        SetCapacity(static_cast<std::size_t>(capacity));
    }
}

void HexMemoryStream::CheckBounds(std::int64_t end) const {
    if (end > size_) {
        RaiseOutOfBounds();
    }
}

void HexMemoryStream::MoveBytes(std::int32_t from, std::int32_t to, std::int32_t count) {
    if (from < 0 || to < 0 || count < 0) {
        RaiseOutOfBounds();
    }
    CheckBounds(std::int64_t{from} + count);
    CheckBounds(std::int64_t{to} + count);
    if (count > 0) {
        std::memmove(data_ + to, data_ + from, static_cast<std::size_t>(count));
    }
}

void HexMemoryStream::WriteAt(const void* buffer, std::int32_t position, std::int32_t count) {
    if (position < 0 || count < 0) {
        RaiseOutOfBounds();
    }
    CheckBounds(std::int64_t{position} + count);
    if (count > 0) {
        std::memcpy(data_ + position, buffer, static_cast<std::size_t>(count));
    }
}

void HexMemoryStream::ReadFrom(HexStream& source, std::size_t count) {
    const std::int64_t end = position_ + static_cast<std::int64_t>(count);
    if (end > size_) {
        Resize(end, false);
    }
    source.ReadExact(data_ + position_, count);
    position_ = end;
}

void HexMemoryStream::WriteTo(HexStream& dest, std::size_t count) {
    if (position_ + static_cast<std::int64_t>(count) > size_) {
        throw EHexEditor("Stream read error");
    }
    dest.Write(data_ + position_, count);
    position_ += static_cast<std::int64_t>(count);
}

void HexMemoryStream::Resize(std::int64_t size, bool zeroFill) {
    if (size < 0) {
        RaiseOutOfBounds();
    }
    CheckDocumentSize(size);
    const auto wanted = static_cast<std::size_t>(size);
    if (wanted > capacity_) {
        const std::size_t grown =
            std::min<std::size_t>(capacity_ + capacity_ / 2, kMaxDocumentSize);
        SetCapacity(std::max({wanted, grown, kMinCapacity}));
    } else if (size < size_ && wanted < capacity_ / 4) {
        SetCapacity(wanted);
    }
    if (zeroFill && size > size_) {
        std::memset(data_ + size_, 0, wanted - static_cast<std::size_t>(size_));
    }
    size_ = static_cast<std::int32_t>(size);
}

void HexMemoryStream::SetCapacity(std::size_t capacity) {
    if (capacity == 0) {
        std::free(data_);
        data_ = nullptr;
        capacity_ = 0;
        return;
    }
    auto* grown = static_cast<std::uint8_t*>(std::realloc(data_, capacity));
    if (grown == nullptr) {
        throw std::bad_alloc();
    }
    data_ = grown;
    capacity_ = capacity;
}

} // namespace quillon
