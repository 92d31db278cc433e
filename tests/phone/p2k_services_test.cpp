#include "p2k_fixture.h"

#include <cerrno>
#include <functional>

namespace quillon {
namespace {

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t to) {
    return {bytes.begin() + static_cast<std::ptrdiff_t>(from),
            bytes.begin() + static_cast<std::ptrdiff_t>(to)};
}

using SeemServiceTest = P2KItemTest;

TEST_F(SeemServiceTest, ReadSeemSendsItsPayloadAndReturnsTheSeem) {
    phone.SetSeem(0x1234, 0x0056, {1, 2, 3, 4});
    OpenQuietly();
    Bytes buffer(255);
    std::uint16_t size = 0;
    ASSERT_TRUE(item.ReadSeem(0x1234, 0x0056, 0xA1B2, 0xC3D4, buffer, size));
    EXPECT_EQ(SentPayload(), (Bytes{0x12, 0x34, 0x00, 0x56, 0xA1, 0xB2, 0xC3, 0xD4}));
    EXPECT_EQ(phone.Commands()[0].code, 0x20);
    EXPECT_EQ(size, 4);
    EXPECT_EQ(Slice(buffer, 0, 4), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(reports, std::vector<Report>{Info("Read Seem Phone")});
}

struct SeemReplyCase {
    const char* name;
    Bytes reply;
    bool ok;
    std::uint16_t size;

    friend void PrintTo(const SeemReplyCase& c, std::ostream* out) { *out << c.name; }
};

class SeemReplyTest : public P2KItemTest, public ::testing::WithParamInterface<SeemReplyCase> {};

TEST_P(SeemReplyTest, StatusAndLengthDecide) {
    phone.SetNextReplyData(GetParam().reply);
    OpenQuietly();
    Bytes buffer(255);
    std::uint16_t size = 99;
    EXPECT_EQ(item.ReadSeem(0x0117, 1, 0, 0, buffer, size), GetParam().ok);
    EXPECT_EQ(size, GetParam().size);
    EXPECT_EQ(reports, std::vector<Report>{
                           GetParam().ok ? Info("Read Seem Phone")
                                         : Error("Read Seem Phone Failed - Error Read Command: "
                                                 "no seem or access denided")});
}

Bytes SeemReply(std::uint8_t status, std::size_t length) {
    Bytes reply(length, 0x33);
    if (!reply.empty()) {
        reply[0] = status;
    }
    return reply;
}

INSTANTIATE_TEST_SUITE_P(Replies, SeemReplyTest,
                         ::testing::Values(SeemReplyCase{"StatusOnly", SeemReply(0, 1), true, 0},
                                           SeemReplyCase{"Longest", SeemReply(0, 256), true, 255},
                                           SeemReplyCase{"OneTooLong", SeemReply(0, 257), false, 0},
                                           SeemReplyCase{"FarTooLong", SeemReply(0, 4000), false,
                                                         0},
                                           SeemReplyCase{"Empty", SeemReply(0, 0), false, 0},
                                           SeemReplyCase{"Denied", SeemReply(1, 10), false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SeemServiceTest, ReadSeemCopiesNoMoreThanTheBufferHolds) {
    phone.SetSeem(0x0001, 0x0001, Bytes(200, 0x44));
    OpenQuietly();
    Bytes buffer(20, 0);
    std::uint16_t size = 0;
    ASSERT_TRUE(item.ReadSeem(1, 1, 0, 0, std::span(buffer).first(10), size));
    EXPECT_EQ(size, 10);
    EXPECT_EQ(Slice(buffer, 10, 20), Bytes(10, 0));
}

TEST_F(SeemServiceTest, WriteSeemOf255BytesIsTheLongestSent) {
    phone.SetSeem(0x0032, 0x0002, {0});
    const Bytes data(255, 0x9C);
    OpenQuietly();
    ASSERT_TRUE(item.WriteSeem(0x0032, 0x0002, 0x0007, 255, data));

    const Bytes payload = SentPayload();
    ASSERT_EQ(payload.size(), 263u);
    EXPECT_EQ(phone.Commands()[0].code, 0x2F);
    EXPECT_EQ(Slice(payload, 0, 8), (Bytes{0x00, 0x32, 0x00, 0x02, 0x00, 0x07, 0x00, 0xFF}));
    EXPECT_EQ(Slice(payload, 8, 263), data);
    const Bytes sent = Exchanges().at(0).input;
    EXPECT_EQ(Slice(sent, 12, 14), (Bytes{0x01, 0x07}));
    EXPECT_EQ(phone.Seem(0x0032, 0x0002), data);
    EXPECT_EQ(reports, std::vector<Report>{Info("Write Seem Phone")});
}

TEST_F(SeemServiceTest, WriteSeemRefusesBeforeSending) {
    const Bytes data(256, 1);
    struct Case {
        std::uint16_t size;
        std::size_t available;
    };
    OpenQuietly();
    for (const Case c : {Case{0, 0}, Case{256, 256}, Case{10, 9}}) {
        EXPECT_FALSE(item.WriteSeem(1, 1, 0, c.size, std::span(data).first(c.available))) << c.size;
    }
    item.Close();
    reports.clear();
    EXPECT_FALSE(item.WriteSeem(1, 1, 0, 1, data));
    EXPECT_TRUE(Exchanges().empty());
    EXPECT_TRUE(reports.empty());
}

TEST_F(SeemServiceTest, WriteSeemNeedsAnEmptyStatus) {
    for (const Bytes& reply : {Bytes{}, Bytes{0x01}, Bytes{0x05, 0x00}}) {
        phone.SetNextReplyData(reply);
        OpenQuietly();
        EXPECT_FALSE(item.WriteSeem(0x0117, 1, 0, 1, Bytes{1}));
        EXPECT_EQ(reports, std::vector<Report>{Error("Write Seem Phone Failed - Error Read "
                                                     "Command: no seem or access denided")});
    }
}

TEST_F(SeemServiceTest, ClosedItemReadsNothing) {
    Bytes buffer(255);
    std::uint16_t size = 5;
    EXPECT_FALSE(item.ReadSeem(0x0117, 1, 0, 0, buffer, size));
    EXPECT_EQ(item.GetPhoneModel(), "");
    EXPECT_TRUE(reports.empty());
    EXPECT_TRUE(driver.Trace().empty());
}

struct ModelCase {
    const char* name;
    Bytes seem;
    std::string model;

    friend void PrintTo(const ModelCase& c, std::ostream* out) { *out << c.name; }
};

class PhoneModelTest : public P2KItemTest, public ::testing::WithParamInterface<ModelCase> {};

TEST_P(PhoneModelTest, ModelTextFromSeem0117Record1) {
    phone.SetSeem(0x0117, 0x0001, GetParam().seem);
    OpenQuietly();
    EXPECT_EQ(item.GetPhoneModel(), GetParam().model);
    EXPECT_EQ(SentPayload(), (Bytes{0x01, 0x17, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(reports, (std::vector<Report>{Info("Read Seem Phone"), Info("GetPhone Model")}));
}

INSTANTIATE_TEST_SUITE_P(
    Seems, PhoneModelTest,
    ::testing::Values(ModelCase{"PaddingLeftOut", {0x41, 0x00, 0x42, 0xFF, 0x43}, "ABC"},
                      ModelCase{"CutAtTheModelRoom", Bytes(100, 'Z'), std::string(35, 'Z')},
                      ModelCase{"Windows1251", {0xCC, 0xEE, 0xF2}, "Мот"},
                      ModelCase{"Empty", {}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SeemServiceTest, ModelOfAPhoneWithoutTheSeem) {
    phone.SetNextReplyData({0x01});
    OpenQuietly();
    EXPECT_EQ(item.GetPhoneModel(), "");
    EXPECT_EQ(reports,
              (std::vector<Report>{
                  Error("Read Seem Phone Failed - Error Read Command: no seem or access denided"),
                  Error("Get Phone Model Failed - Error Read Seem Phone")}));
}

using FileServiceTest = P2KItemTest;

struct AttributeCase {
    std::uint8_t attributes;
    Bytes openMode; // payload bytes 4-7; empty when refused
};

class FileOpenAttributeTest : public P2KItemTest,
                              public ::testing::WithParamInterface<AttributeCase> {};

TEST_P(FileOpenAttributeTest, OpenModeFromAttributes) {
    phone.SetFile("/a/x", {});
    OpenQuietly();
    const bool refused = GetParam().openMode.empty();
    EXPECT_EQ(item.FileOpen("/a/x", GetParam().attributes), !refused);
    if (refused) {
        EXPECT_TRUE(Exchanges().empty());
        EXPECT_EQ(reports, std::vector<Report>{
                               Error("File Open Phone Failed - Attribute File isn`t normal")});
        return;
    }
    const Bytes payload = SentPayload();
    EXPECT_EQ(Slice(payload, 0, 4), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(Slice(payload, 4, 8), GetParam().openMode);
    EXPECT_EQ(Slice(payload, 8, payload.size()), (Bytes{'/', 'a', '/', 'x'}));
    EXPECT_EQ(phone.Commands()[0].code, 0x4A);
    EXPECT_EQ(reports, std::vector<Report>{Info("File Open Phone")});
}

INSTANTIATE_TEST_SUITE_P(
    Attributes, FileOpenAttributeTest,
    ::testing::Values(AttributeCase{0x80, {0, 0, 0, 0xFF}}, AttributeCase{0x81, {0, 0, 0, 0x01}},
                      AttributeCase{0x00, {0, 0, 0, 0x00}}, AttributeCase{0x07, {0, 0, 0, 0x07}},
                      AttributeCase{0x87, {0, 0, 0, 0x07}}, AttributeCase{0x08, {}},
                      AttributeCase{0x10, {}}, AttributeCase{0x20, {}}, AttributeCase{0x40, {}},
                      AttributeCase{0xC0, {}}));

TEST_F(FileServiceTest, FileNameOf256CharactersIsTheLongestSent) {
    const std::string longest(256, 'n');
    OpenQuietly();
    EXPECT_TRUE(item.FileOpen(longest, 0));
    EXPECT_EQ(SentPayload().size(), 264u);
    EXPECT_EQ(Slice(Exchanges().at(0).input, 12, 14), (Bytes{0x01, 0x08}));

    reports.clear();
    EXPECT_FALSE(item.FileOpen(longest + 'n', 0));
    EXPECT_EQ(reports,
              std::vector<Report>{Error("File Open Phone Failed - File name isn`t normal")});
    EXPECT_EQ(phone.Commands().size(), 1u);
}

TEST_F(FileServiceTest, FileReadSendsTheCountAndReturnsTheData) {
    phone.SetFile("/a/data", {10, 20, 30, 40, 50});
    OpenQuietly();
    ASSERT_TRUE(item.FileOpen("/a/data", 0x80));
    reports.clear();
    Bytes buffer(4000);
    EXPECT_EQ(item.FileRead(buffer, 4), 4);
    EXPECT_EQ(phone.Commands().back().payload, (Bytes{0, 0, 0, 1, 0, 0, 0, 4}));
    EXPECT_EQ(Slice(buffer, 0, 4), (Bytes{10, 20, 30, 40}));
    EXPECT_EQ(item.FileRead(buffer, 4000), 1);
    EXPECT_EQ(item.FileRead(buffer, 4000), 0);
    EXPECT_EQ(reports, std::vector<Report>(3, Info("File Read Phone")));
}

TEST_F(FileServiceTest, FileReadCountLimits) {
    phone.SetFile("/a/big", Bytes(5000, 1));
    OpenQuietly();
    ASSERT_TRUE(item.FileOpen("/a/big", 0x80));
    Bytes buffer(4096);
    EXPECT_EQ(item.FileRead(buffer, 4096), 4096);
    EXPECT_EQ(phone.Commands().back().payload, (Bytes{0, 0, 0, 1, 0, 0, 0x10, 0x00}));

    const std::size_t sent = phone.Commands().size();
    for (const std::int32_t count : {4097, -1}) {
        reports.clear();
        EXPECT_EQ(item.FileRead(buffer, count), 0);
        EXPECT_EQ(reports, std::vector<Report>{Error("File Read Phone Failed - BuffSize isn`t "
                                                     "normal (0 > Buffer Size > 4096)")});
    }
    EXPECT_EQ(phone.Commands().size(), sent);
}

TEST_F(FileServiceTest, FileReadTellsTheTrueLengthButCopiesOnlyTheRoom) {
    phone.SetNextReplyData(Bytes(4010, 0x66));
    OpenQuietly();
    Bytes buffer(4008, 0);
    EXPECT_EQ(item.FileRead(std::span(buffer).first(4000), 4000), 4010);
    EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0x66), 4000);
}

TEST_F(FileServiceTest, FileWriteSendsCountAndData) {
    OpenQuietly();
    ASSERT_TRUE(item.FileOpen("/a/new", 0));
    EXPECT_TRUE(item.FileWrite(0, {}));
    EXPECT_EQ(phone.Commands().back().payload, (Bytes{0, 0, 0, 2, 0, 0, 0, 0}));
    const Bytes data(1024, 0xAB);
    EXPECT_TRUE(item.FileWrite(1024, data));
    EXPECT_EQ(Slice(phone.Commands().back().payload, 0, 8), (Bytes{0, 0, 0, 2, 0, 0, 0x04, 0}));
    EXPECT_EQ(phone.Commands().back().payload.size(), 1032u);
    EXPECT_TRUE(item.FileClose());
    EXPECT_EQ(phone.File("/a/new"), data);
}

TEST_F(FileServiceTest, FileWriteCountLimits) {
    const Bytes data(2000);
    OpenQuietly();
    struct Case {
        std::int32_t count;
        std::size_t available;
    };
    for (const Case c : {Case{1025, 2000}, Case{-1, 2000}, Case{10, 9}}) {
        reports.clear();
        EXPECT_FALSE(item.FileWrite(c.count, std::span(data).first(c.available)));
        EXPECT_EQ(reports, std::vector<Report>{Error("File Write Phone Failed - BuffSize isn`t "
                                                     "normal (0 > Buffer Size > 1024)")});
    }
    EXPECT_TRUE(phone.Commands().empty());
}

TEST_F(FileServiceTest, FileCloseSucceedsOnlyOnAnEmptyReply) {
    phone.SetFile("/a/x", {});
    OpenQuietly();
    item.FileOpen("/a/x", 0x80);
    reports.clear();
    EXPECT_TRUE(item.FileClose());
    EXPECT_EQ(phone.Commands().back().payload, (Bytes{0, 0, 0, 4}));
    phone.SetNextReplyData({0x00});
    EXPECT_FALSE(item.FileClose());
    EXPECT_EQ(reports, std::vector<Report>(2, Info("File Close Phone")));
}

// Each service's one report when its command fails, and nothing past the request is sent.
struct FailedCommandCase {
    const char* name;
    std::function<bool(MotoP2KModemItem&)> call;
    const char* report;

    friend void PrintTo(const FailedCommandCase& c, std::ostream* out) { *out << c.name; }
};

class FailedCommandTest : public P2KItemTest,
                          public ::testing::WithParamInterface<FailedCommandCase> {};

TEST_P(FailedCommandTest, ReportsTheFailedCommand) {
    SetFaults([](sim::PhoneFaults& f) { f.sendErrorCode = EPIPE; });
    OpenQuietly();
    EXPECT_FALSE(GetParam().call(item));
    EXPECT_EQ(reports.back(), Error(GetParam().report));
    EXPECT_EQ(Exchanges().size(), 1u);
}

bool ReadSeemOf(MotoP2KModemItem& item) {
    Bytes buffer(255);
    std::uint16_t size = 0;
    return item.ReadSeem(0x0117, 1, 0, 0, buffer, size);
}

bool FileReadOf(MotoP2KModemItem& item) {
    Bytes buffer(4000);
    return item.FileRead(buffer, 4000) != 0;
}

INSTANTIATE_TEST_SUITE_P(
    Services, FailedCommandTest,
    ::testing::Values(
        FailedCommandCase{"ReadSeem", ReadSeemOf, "Read Seem Phone Failed - Error Read Command"},
        FailedCommandCase{
            "WriteSeem",
            [](MotoP2KModemItem& item) { return item.WriteSeem(1, 1, 0, 1, Bytes{1}); },
            "Write Seem Phone Failed - Error Read Command"},
        FailedCommandCase{"GetPhoneModel",
                          [](MotoP2KModemItem& item) { return !item.GetPhoneModel().empty(); },
                          "Get Phone Model Failed - Error Read Seem Phone"},
        FailedCommandCase{"FileOpen",
                          [](MotoP2KModemItem& item) { return item.FileOpen("/a/x", 0x80); },
                          "File Open Phone Failed - Error Read Command"},
        FailedCommandCase{"FileRead", FileReadOf, "File Read Phone Failed - Error Read Command"},
        FailedCommandCase{"FileWrite",
                          [](MotoP2KModemItem& item) { return item.FileWrite(1, Bytes{1}); },
                          "File Write Phone Failed - Error Read Command"},
        FailedCommandCase{"FileClose", [](MotoP2KModemItem& item) { return item.FileClose(); },
                          "File Close Phone Failed - Error Read Command"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileServiceTest, FileServicesOnAClosedItemTouchNothing) {
    EXPECT_FALSE(item.FileOpen("/a/x", 0x80));
    EXPECT_FALSE(item.FileClose());
    EXPECT_TRUE(driver.Trace().empty());
    EXPECT_EQ(reports,
              (std::vector<Report>{Error("File Open Phone Failed - Error Read Command"),
                                   Error("File Close Phone Failed - Error Read Command")}));
}

} // namespace
} // namespace quillon
