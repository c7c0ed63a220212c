#include "reader/ReaderLibrary.h"

#include "tests/support/FakeTransport.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const std::vector<std::uint8_t> ExtendedI2CAtr = {0x3B, 0x8F, 0x80, 0x01, 0x80, 0x4F, 0x0C,
                                                  0xA0, 0x00, 0x00, 0x03, 0x06, 0x0E, 0xC0,
                                                  0xC1, 0x00, 0x00, 0x00, 0x00, 0x00};

std::vector<std::uint8_t> Ok(std::vector<std::uint8_t> data = {}) {
    data.push_back(0x90);
    data.push_back(0x00);
    return data;
}

class Library : public testing::Test {
protected:
    TempDir dir;
    FakeTransport::Script pcsc;
    ReaderLibrary library{std::make_unique<FakeTransport>(pcsc), dir.Path()};
    std::int32_t handle = 0;
    std::int32_t type = 0;

    Library() { pcsc.atr = ExtendedI2CAtr; }

    std::int32_t Connect(const std::string& reader) {
        return library.ASEMemConnect(handle, reader, 2, type);
    }
    std::int32_t Read(std::vector<std::uint8_t>& block, std::int32_t address = 0) {
        block.assign(64, 0);
        return library.ASEMemRead(handle, address, block, 0, 64);
    }
    std::int32_t Write(const std::vector<std::uint8_t>& bytes) {
        return library.ASEMemWrite(handle, 0, bytes, static_cast<std::int32_t>(bytes.size()), 0);
    }
    bool Called(const std::string& call) const {
        return std::find(pcsc.calls.begin(), pcsc.calls.end(), call) != pcsc.calls.end();
    }
    void AddCardFile(const std::string& name, const std::string& bytes) {
        WriteFileBytes(dir / (name + ".card"), bytes);
    }
};

TEST(PcscMapping, CardTypeComesFromTheStorageCardAtr) {
    auto other = ExtendedI2CAtr;
    other[12] = 0x03;
    const std::pair<std::vector<std::uint8_t>, bool> cases[] = {
        {ExtendedI2CAtr, true},
        {other, false},
        {{0x3B, 0x8F, 0x80, 0x01}, false},
        {{}, false},
        {{0x3B, 0x02, 0x14, 0x50}, false},
        {std::vector<std::uint8_t>(ExtendedI2CAtr.begin(), ExtendedI2CAtr.begin() + 13), true}};
    for (const auto& [atr, extendedI2C] : cases) {
        EXPECT_EQ(CardTypeFromAtr(atr) == ExtendedI2CCardType, extendedI2C) << atr.size();
    }
}

TEST(PcscMapping, ResultsMapByMeaning) {
    const std::pair<std::uint32_t, std::int32_t> cases[] = {
        {0, 0},           {0x8010001D, 46}, {0x8010001E, 46}, {0x80100013, 46}, {0x8010000A, 47},
        {0x8010002E, 44}, {0x80100009, 43}, {0x8010000B, 42}, {0x80100008, 45}, {0x8010000C, 40},
        {0x80100069, 33}, {0x80100067, 34}, {0x80100065, 35}, {0x80100068, 41}, {0x80100003, 38},
        {0x80100004, 39}, {0x8010001F, 32}, {0x80100001, 49}, {0xFFFFFFFF, 49}};
    for (const auto& [result, code] : cases) {
        EXPECT_EQ(CodeFromPcsc(result), code) << std::hex << result;
    }
    EXPECT_EQ(CodeFromStatusWord(0x90, 0x00), 0);
    EXPECT_EQ(CodeFromStatusWord(0x6B, 0x00), 48);
    EXPECT_EQ(CodeFromStatusWord(0x6A, 0x82), 48);
    EXPECT_EQ(CodeFromStatusWord(0x6F, 0x00), 49);
}

TEST_F(Library, ListsPcscReadersThenCardFiles) {
    pcsc.readers = {"R1", "R2"};
    AddCardFile("demo", "");
    AddCardFile("cow", "");
    WriteFileBytes(dir / "notes.txt", "");
    std::int32_t length = 0;
    EXPECT_EQ(library.ASEListReaders({}, length), 0);
    EXPECT_EQ(length, 15);
    std::vector<std::uint8_t> buffer(2001, 0xAA);
    EXPECT_EQ(library.ASEListReaders(buffer, length), 0);
    const std::string expected("R1\0R2\0cow\0demo\0\0", 16);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 16), expected);

    std::vector<std::uint8_t> small(15);
    length = 99;
    EXPECT_EQ(library.ASEListReaders(small, length), 45);
    EXPECT_EQ(length, 99);
}

TEST_F(Library, ListingWithoutAnyReaderFails) {
    std::int32_t length = 5;
    pcsc.establish = {0x8010001D};
    EXPECT_EQ(library.ASEListReaders({}, length), 46);
    pcsc.list = {0x8010002E};
    EXPECT_EQ(library.ASEListReaders({}, length), 44);
    EXPECT_EQ(length, 5);
    EXPECT_EQ(std::count(pcsc.calls.begin(), pcsc.calls.end(), "establish"), 2)
        << "the lost service is asked again";
}

TEST_F(Library, ServiceLostMidwayIsAskedForAgain) {
    pcsc.readers = {"R1"};
    std::int32_t length = 0;
    pcsc.list = {0x8010001E, 0};
    EXPECT_EQ(library.ASEListReaders({}, length), 46);
    EXPECT_EQ(library.ASEListReaders({}, length), 0);
    EXPECT_EQ(std::count(pcsc.calls.begin(), pcsc.calls.end(), "establish"), 2);
    EXPECT_TRUE(Called("release"));
}

TEST_F(Library, ContextFromBeforeARestartIsMadeAnew) {
    pcsc.readers = {"R1"};
    std::int32_t length = 0;
    EXPECT_EQ(library.ASEListReaders({}, length), 0);
    pcsc.list = {0x80100003};
    pcsc.connect = {0x8010001D};
    EXPECT_EQ(library.ASEListReaders({}, length), 0);
    EXPECT_EQ(Connect("R1"), 0);
    EXPECT_EQ(std::count(pcsc.calls.begin(), pcsc.calls.end(), "establish"), 3);
}

TEST_F(Library, WaitReportsAPresentCardAtOnce) {
    EXPECT_EQ(library.ASEWaitForCardEvent("R1", 1, 5000), 0);
    EXPECT_EQ(pcsc.calls, (std::vector<std::string>{"establish", "status R1 0 0"}));
}

TEST_F(Library, WaitWithoutACardEndsAsNotInserted) {
    pcsc.states = {0x0010};
    pcsc.statusChange = {0, 0x8010000A};
    EXPECT_EQ(library.ASEWaitForCardEvent("R1", 1, 50), 46);
    EXPECT_TRUE(pcsc.calls.back().starts_with("status R1 16 "));
}

TEST_F(Library, WaitSeesACardArrive) {
    pcsc.states = {0x0010, PcscStatePresent | 0x0002};
    EXPECT_EQ(library.ASEWaitForCardEvent("R1", 1, 5000), 0);
}

TEST_F(Library, ReadsAndWritesWithStorageCardCommands) {
    EXPECT_EQ(Connect("R1"), 0);
    EXPECT_EQ(type, 19);
    std::vector<std::uint8_t> data(64);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i);
    }
    pcsc.responses = {Ok(data), Ok()};
    std::vector<std::uint8_t> block;
    EXPECT_EQ(Read(block, 0x1240), 0);
    EXPECT_EQ(block, data);
    EXPECT_EQ(Write({0xAB, 0xCD}), 0);
    EXPECT_TRUE(Called("transmit 1 255 176 18 64 64"));
    EXPECT_TRUE(Called("transmit 1 255 214 0 0 2 171 205"));
    EXPECT_EQ(library.ASEMemDisconnect(handle, 6), 0);
    EXPECT_EQ(pcsc.calls.back(), "disconnect 1");
}

TEST_F(Library, CardAnswersThatAreNotDataAreFailures) {
    EXPECT_EQ(Connect("R1"), 0);
    std::vector<std::uint8_t> block;
    const std::pair<std::vector<std::uint8_t>, std::int32_t> cases[] = {
        {{0x6B, 0x00}, 48},
        {{0x6A, 0x82}, 48},
        {{0x69, 0x82}, 49},
        {{}, 49},
        {{0x90}, 49},
        {Ok({1, 2, 3}), 49},
        {Ok(std::vector<std::uint8_t>(65)), 49}};
    for (const auto& [response, code] : cases) {
        pcsc.responses = {response};
        EXPECT_EQ(Read(block), code) << response.size();
    }
}

TEST_F(Library, RemovedCardForgetsItsHandle) {
    EXPECT_EQ(Connect("R1"), 0);
    pcsc.transmit = {0x80100069};
    std::vector<std::uint8_t> block;
    EXPECT_EQ(Read(block), 33);
    EXPECT_EQ(Read(block), 38);
}

TEST_F(Library, ConnectingAgainReleasesTheOldConnection) {
    EXPECT_EQ(Connect("R1"), 0);
    const std::int32_t first = handle;
    pcsc.calls.clear();
    EXPECT_EQ(Connect("R1"), 0);
    EXPECT_EQ(pcsc.calls, (std::vector<std::string>{"disconnect 1", "connect R1"}));
    std::vector<std::uint8_t> block;
    EXPECT_EQ(library.ASEMemRead(first, 0, block, 0, 0), 38);
}

TEST_F(Library, ReadersThatSelectTheCardTypeFirst) {
    pcsc.atr = {0x3B, 0x04, 0x92, 0x23, 0x10, 0x91};
    pcsc.responses = {Ok(), Ok()};
    EXPECT_EQ(Connect("ACS ACR38U 00 00"), 0);
    EXPECT_EQ(type, 19);
    EXPECT_TRUE(Called("transmit 1 255 164 0 0 1 2"));
    EXPECT_EQ(Write({7}), 0);
    EXPECT_TRUE(Called("transmit 1 255 208 0 0 1 7"));

    pcsc.responses = {{0x6A, 0x81}};
    EXPECT_EQ(Connect("ACS ACR38U 00 00"), 0);
    EXPECT_NE(type, 19) << "a refused selection leaves the type of the answer-to-reset";
}

TEST_F(Library, CardFileReadsAsErasedPastItsEnd) {
    AddCardFile("short", std::string(70, '\x11'));
    ASSERT_EQ(Connect("short"), 0);
    EXPECT_EQ(type, 19);
    std::vector<std::uint8_t> block;
    EXPECT_EQ(Read(block, 64), 0);
    EXPECT_EQ(block[5], 0x11);
    EXPECT_EQ(block[6], 0xFF);
    EXPECT_EQ(Read(block, 32704), 0);
    EXPECT_EQ(Read(block, 32705), 48);
}

TEST_F(Library, FormatReplacesTheFileKeepingEveryOtherByte) {
    std::string image(40000, '\x42');
    AddCardFile("cow", image);
    ASSERT_EQ(Connect("cow"), 0);
    const std::vector<std::uint8_t> bytes(19, 0x07);
    EXPECT_EQ(Write(bytes), 0);
    std::fill_n(image.begin(), 19, '\x07');
    EXPECT_EQ(ReadFileBytes(dir / "cow.card"), image);
    std::vector<std::uint8_t> block;
    EXPECT_EQ(Read(block), 0);
    EXPECT_EQ(block[18], 0x07) << "reads after the write see it";
    EXPECT_EQ(block[19], 0x42);
}

TEST_F(Library, FormatOfAShortFileFillsTheGapAsErased) {
    AddCardFile("tiny", "ab");
    ASSERT_EQ(Connect("tiny"), 0);
    EXPECT_EQ(library.ASEMemWrite(handle, 4, std::vector<std::uint8_t>{1}, 1, 0), 0);
    EXPECT_EQ(ReadFileBytes(dir / "tiny.card"), std::string("ab\xFF\xFF\x01", 5));
}

TEST_F(Library, CardFileWithoutWriteBitsIsProtected) {
    AddCardFile("locked", std::string(64, 'x'));
    ::chmod((dir / "locked.card").c_str(), 0444);
    ASSERT_EQ(Connect("locked"), 0);
    EXPECT_EQ(Write({1, 2, 3}), 32);
    EXPECT_EQ(ReadFileBytes(dir / "locked.card"), std::string(64, 'x'));
}

TEST_F(Library, CardFileThatVanishedIsNoCard) {
    AddCardFile("gone", "");
    std::int32_t length = 0;
    library.ASEListReaders({}, length);
    std::filesystem::remove(dir / "gone.card");
    pcsc.calls.clear();
    EXPECT_EQ(library.ASEWaitForCardEvent("gone", 1, 5000), 46);
    EXPECT_EQ(Connect("gone"), 46);
    EXPECT_TRUE(pcsc.calls.empty()) << "a listed card file never turns into a PC/SC reader";
}

} // namespace
