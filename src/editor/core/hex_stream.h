#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

// A seekable byte stream: what the editor loads from and saves to.
class HexStream {
public:
    virtual ~HexStream() = default;

    virtual std::int64_t Size() const = 0;
    virtual std::int64_t Position() const = 0;
    virtual void SetPosition(std::int64_t position) = 0;
    // Reads up to `count` bytes; fewer only at the end of the stream.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes all `count` bytes or raises.
    virtual void Write(const void* buffer, std::size_t count) = 0;

    // Reads exactly `count` bytes; a short read raises EHexEditor "Stream read error".
    void ReadExact(void* buffer, std::size_t count);
};

// A file opened through a descriptor the stream owns (closed with the stream).
class HexFileStream : public HexStream {
public:
    // Takes over an open descriptor.
    explicit HexFileStream(int fd, std::string name);
    ~HexFileStream() override;
    HexFileStream(const HexFileStream&) = delete;
    HexFileStream& operator=(const HexFileStream&) = delete;

    std::int64_t Size() const override;
    std::int64_t Position() const override;
    void SetPosition(std::int64_t position) override;
    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;

    int Descriptor() const { return fd_; }
    const std::string& Name() const { return name_; }

private:
    int fd_;
    std::string name_;
};

// The whole of a regular file, as a pasted or dropped file list hands it in: the open error of
// HexEditorCore::OpenFile, and "Data too large" for a file no document can hold.
std::vector<std::uint8_t> ReadWholeFile(const std::string& fileName);

} // namespace quillon
