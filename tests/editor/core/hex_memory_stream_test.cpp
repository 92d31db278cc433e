#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "editor/core/hex_memory_stream.h"
#include "hex_error_matchers.h"

namespace quillon {

namespace {

const std::string kOutOfBounds = "Data position/length out of data bounds";

std::vector<std::uint8_t> Contents(const HexMemoryStream& stream) {
    return {stream.AddressOf(0), stream.AddressOf(stream.DataSize())};
}

HexMemoryStream& Fill(HexMemoryStream& stream, std::vector<std::uint8_t> bytes) {
    stream.SetSize(0);
    stream.SetPosition(0);
    stream.Write(bytes.data(), bytes.size());
    return stream;
}

} // namespace

TEST(HexMemoryStreamTest, ReadsAndWritesAtThePosition) {
    HexMemoryStream stream;
    Fill(stream, {1, 2, 3, 4});
    EXPECT_EQ(stream.Position(), 4);
    stream.SetPosition(2);
    std::uint8_t buffer[8] = {};
    EXPECT_EQ(stream.Read(buffer, 4), 2u);
    EXPECT_EQ(buffer[0], 3);
    stream.SetPosition(6);
    const std::uint8_t tail[] = {9};
    stream.Write(tail, 1);
    EXPECT_EQ(Contents(stream), (std::vector<std::uint8_t>{1, 2, 3, 4, 0, 0, 9}));
    stream.SetPosition(0);
    EXPECT_TRUE(RaisesHexError([&] { stream.ReadExact(buffer, 8); }, "Stream read error"));
}

TEST(HexMemoryStreamTest, GrowingAndShrinkingKeepTheBytes) {
    HexMemoryStream stream;
    Fill(stream, {5, 6});
    stream.SetSize(100000);
    EXPECT_EQ(*stream.AddressOf(1), 6);
    EXPECT_EQ(*stream.AddressOf(99999), 0) << "new bytes read as zero";
    stream.SetSize(1);
    EXPECT_EQ(Contents(stream), (std::vector<std::uint8_t>{5}));
    EXPECT_TRUE(RaisesHexError([&] { stream.SetSize(std::int64_t{kMaxDocumentSize} + 1); },
                               "Data too large"));
    EXPECT_EQ(stream.DataSize(), 1);
}

TEST(HexMemoryStreamTest, MoveBytesOverlaps) {
    HexMemoryStream stream;
    Fill(stream, {1, 2, 3, 4, 5, 6});
    stream.MoveBytes(0, 2, 4);
    EXPECT_EQ(Contents(stream), (std::vector<std::uint8_t>{1, 2, 1, 2, 3, 4}));
    stream.MoveBytes(2, 0, 4);
    EXPECT_EQ(Contents(stream), (std::vector<std::uint8_t>{1, 2, 3, 4, 3, 4}));
    EXPECT_TRUE(RaisesHexError([&] { stream.MoveBytes(0, 3, 4); }, kOutOfBounds));
    EXPECT_TRUE(RaisesHexError([&] { stream.MoveBytes(-1, 0, 1); }, kOutOfBounds));
}

TEST(HexMemoryStreamTest, WriteAtIsBoundedAndKeepsThePosition) {
    HexMemoryStream stream;
    Fill(stream, {0, 0, 0, 0});
    stream.SetPosition(1);
    const std::uint8_t bytes[] = {7, 8};
    stream.WriteAt(bytes, 2, 2);
    EXPECT_EQ(Contents(stream), (std::vector<std::uint8_t>{0, 0, 7, 8}));
    EXPECT_EQ(stream.Position(), 1);
    EXPECT_TRUE(RaisesHexError([&] { stream.WriteAt(bytes, 3, 2); }, kOutOfBounds));
    EXPECT_TRUE(RaisesHexError([&] { stream.CheckBounds(5); }, kOutOfBounds));
    stream.CheckBounds(4);
    EXPECT_EQ(Contents(stream), (std::vector<std::uint8_t>{0, 0, 7, 8}));
}

TEST(HexMemoryStreamTest, StreamsCopyDirectly) {
    HexMemoryStream source;
    Fill(source, {1, 2, 3, 4, 5});
    source.SetPosition(1);
    HexMemoryStream dest;
    dest.ReadFrom(source, 3);
    EXPECT_EQ(Contents(dest), (std::vector<std::uint8_t>{2, 3, 4}));
    dest.SetPosition(0);
    HexMemoryStream copy;
    dest.WriteTo(copy, 3);
    EXPECT_EQ(Contents(copy), (std::vector<std::uint8_t>{2, 3, 4}));
    EXPECT_TRUE(RaisesHexError([&] { dest.WriteTo(copy, 1); }, "Stream read error"));
}

} // namespace quillon
