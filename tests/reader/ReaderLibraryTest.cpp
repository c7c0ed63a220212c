#include "reader/ReaderLibrary.h"

#include "tests/support/FakeTransport.h"
#include "tests/support/TestFiles.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>

namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes ExtendedI2CAtr = {0x3B, 0x8F, 0x80, 0x01, 0x80, 0x4F, 0x0C, 0xA0, 0x00, 0x00,
                              0x03, 0x06, 0x0E, 0xC0, 0xC1, 0x00, 0x00, 0x00, 0x00, 0x00};

Bytes Ok(Bytes data = {}) {
    data.insert(data.end(), {0x90, 0x00});
    return data;
}

// The reader library over a scripted PC/SC service, with a card folder of its own.
class Library : public testing::Test {
protected:
    TempDir dir;
    FakeTransport::Script pcsc;
    ReaderLibrary library{std::make_unique<FakeTransport>(pcsc), dir.Path()};
    std::int32_t handle = 0;
    std::int32_t type = 0;
    Bytes block = Bytes(64);

    Library() { pcsc.atr = ExtendedI2CAtr; }

    std::int32_t Connect(const std::string& reader = "R1") {
        return library.ASEMemConnect(handle, reader, 2, type);
    }
    std::int32_t Read(std::int32_t address = 0) {
        return library.ASEMemRead(handle, address, block, 0, 64);
    }
    std::int32_t Write(const Bytes& bytes) {
        return library.ASEMemWrite(handle, 0, bytes, static_cast<std::int32_t>(bytes.size()), 0);
    }
    std::int32_t List(std::span<std::uint8_t> buffer, std::int32_t& length) {
        return library.ASEListReaders(buffer, length);
    }
    bool Called(const std::string& call) const {
        return std::find(pcsc.calls.begin(), pcsc.calls.end(), call) != pcsc.calls.end();
    }
    long Established() const {
        return std::count(pcsc.calls.begin(), pcsc.calls.end(), "establish");
    }
};

TEST(PcscMapping, CardTypeComesFromTheStorageCardAtr) {
    auto other = ExtendedI2CAtr;
    other[12] = 0x03;
    const std::pair<Bytes, bool> cases[] = {
        {ExtendedI2CAtr, true},
        {other, false},
        {{0x3B, 0x8F, 0x80, 0x01}, false},
        {{}, false},
        {{0x3B, 0x02, 0x14, 0x50}, false},
        {Bytes(ExtendedI2CAtr.begin(), ExtendedI2CAtr.begin() + 13), true}};
    for (const auto& [atr, extendedI2C] : cases) {
        EXPECT_EQ(CardTypeFromAtr(atr) == ExtendedI2CCardType, extendedI2C) << atr.size();
    }
}

TEST(PcscMapping, ResultsAndStatusWordsMapByMeaning) {
    const std::pair<std::uint32_t, std::int32_t> results[] = {
        {PcscCode::NoService, 46},     {PcscCode::ServiceStopped, 46},
        {PcscCode::Timeout, 47},       {PcscCode::NoReadersAvailable, 44},
        {PcscCode::UnknownReader, 43}, {PcscCode::SharingViolation, 42},
        {PcscCode::RemovedCard, 33},   {0xFFFFFFFF, 49}};
    for (const auto& [result, code] : results) {
        EXPECT_EQ(CodeFromPcsc(result), code) << std::hex << result;
    }
    const std::pair<std::uint16_t, std::int32_t> words[] = {
        {0x9000, 0}, {0x6B00, 48}, {0x6A82, 48}, {0x6F00, 49}};
    for (const auto& [word, code] : words) {
        EXPECT_EQ(CodeFromStatusWord(word >> 8, word & 0xFF), code) << std::hex << word;
    }
}

TEST_F(Library, ListsPcscReadersThenCardFiles) {
    pcsc.readers = {"R1", "R2"};
    for (const char* file : {"demo.card", "cow.card", "notes.txt"}) {
        WriteFileBytes(dir / file, "");
    }
    std::int32_t length = 0;
    EXPECT_EQ(List({}, length), 0);
    EXPECT_EQ(length, 15);
    Bytes buffer(2001, 0xAA);
    EXPECT_EQ(List(buffer, length), 0);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 16),
              std::string("R1\0R2\0cow\0demo\0\0", 16));
    Bytes exact(16);
    EXPECT_EQ(List(exact, length), 0);
    Bytes small(15);
    length = 99;
    EXPECT_EQ(List(small, length), 45);
    EXPECT_EQ(length, 99);
}

TEST_F(Library, ListingFailuresLeaveTheLengthAndALostServiceIsAskedAgain) {
    std::int32_t length = 5;
    pcsc.readers = {"R1"};
    pcsc.establish = {0x8010001D};
    pcsc.list = {0x8010001E, 0x8010002E};
    EXPECT_EQ(List({}, length), 46); // no service
    EXPECT_EQ(List({}, length), 46); // the service stopped
    EXPECT_TRUE(Called("release"));
    EXPECT_EQ(List({}, length), 44); // no readers
    EXPECT_EQ(length, 5);
    EXPECT_EQ(List({}, length), 0);
    EXPECT_EQ(length, 3);
    EXPECT_EQ(Established(), 3);
}

TEST_F(Library, ContextFromBeforeARestartIsMadeAnew) {
    pcsc.readers = {"R1"};
    std::int32_t length = 0;
    EXPECT_EQ(List({}, length), 0);
    pcsc.list = {0x80100003};
    pcsc.connect = {0x8010001D};
    EXPECT_EQ(List({}, length), 0);
    EXPECT_EQ(Connect(), 0);
    EXPECT_EQ(Established(), 3);
}

struct WaitCase {
    std::deque<std::uint32_t> states;
    std::deque<std::uint32_t> results;
    std::int32_t code;
    std::vector<std::string> calls;
};

TEST_F(Library, WaitOutcomes) {
    const WaitCase cases[] = {
        {{PcscStatePresent}, {}, 0, {"establish", "status R1 0 0"}},
        {{0x0010, PcscStatePresent | 0x0002}, {}, 0, {"status R1 0 0", "status R1 16 "}},
        {{0x0010}, {0, 0x8010000A}, 46, {"status R1 0 0", "status R1 16 "}},
        {{0x0010}, {0, 0x80100009}, 43, {"status R1 0 0", "status R1 16 "}},
        {{PcscStatePresent | PcscStateMute}, {}, 46, {"status R1 0 0", "status R1 544 "}},
    };
    for (const auto& c : cases) {
        pcsc.calls.clear();
        pcsc.states = c.states;
        pcsc.statusChange = c.results;
        EXPECT_EQ(library.ASEWaitForCardEvent("R1", 1, 5000), c.code);
        ASSERT_EQ(pcsc.calls.size(), c.calls.size());
        for (std::size_t i = 0; i < c.calls.size(); ++i) {
            EXPECT_TRUE(pcsc.calls[i].starts_with(c.calls[i])) << pcsc.calls[i];
        }
    }
}

TEST_F(Library, ReadsFourBlocksAheadAndAWriteDropsWhatWasRead) {
    EXPECT_EQ(Connect(), 0);
    EXPECT_EQ(type, 19);
    Bytes data(256);
    std::iota(data.begin(), data.end(), 0);
    Bytes written(data.begin() + 0x80, data.begin() + 0xC0);
    written[0] = 0xAB;
    pcsc.responses = {Ok(data), Ok(), Ok(written)};
    EXPECT_EQ(Read(0x1240), 0);
    EXPECT_EQ(block, Bytes(data.begin() + 0x40, data.begin() + 0x80));
    EXPECT_EQ(Read(0x1280), 0);
    EXPECT_EQ(library.ASEMemWrite(handle, 0x1280, Bytes{0xAB}, 1, 0), 0);
    EXPECT_EQ(Read(0x1280), 0);
    EXPECT_EQ(block, written) << "read again after the write";
    EXPECT_EQ(pcsc.calls, (std::vector<std::string>{"establish", "connect R1", "status R1 0 0",
                                                    "transmit 1 255 176 18 0 0",
                                                    "transmit 1 255 214 18 128 1 171",
                                                    "transmit 1 255 176 18 128 64"}));
    EXPECT_EQ(library.ASEMemDisconnect(handle, 6), 0);
    EXPECT_EQ(pcsc.calls.back(), "disconnect 1");
    EXPECT_EQ(Read(0x1280), 38) << "a handle is no more after its disconnect";
}

TEST_F(Library, ReaderThatRefusesLongerReadsIsAskedForWhatIsReadOnce) {
    EXPECT_EQ(Connect(), 0);
    pcsc.responses = {{0x67, 0x00}, Ok(Bytes(64, 7))};
    EXPECT_EQ(Read(0), 0);
    EXPECT_EQ(block, Bytes(64, 7));
    // From now on every read asks for exactly its block; what is not its data is a failure.
    const std::pair<Bytes, std::int32_t> cases[] = {
        {{0x6B, 0x00}, 48}, {{0x6A, 0x82}, 48},  {{0x69, 0x82}, 49}, {{}, 49},
        {{0x90}, 49},       {Ok({1, 2, 3}), 49}, {Ok(Bytes(65)), 49}};
    for (const auto& [response, code] : cases) {
        pcsc.responses = {response};
        EXPECT_EQ(Read(64), code) << response.size();
    }
    EXPECT_EQ(std::count(pcsc.calls.begin(), pcsc.calls.end(), "transmit 1 255 176 0 0 0"), 1);
    EXPECT_EQ(std::count(pcsc.calls.begin(), pcsc.calls.end(), "transmit 1 255 176 0 64 64"), 7);
    pcsc.transmit = {0x80100069};
    EXPECT_EQ(Read(), 33);
    EXPECT_EQ(Read(), 38) << "a removed card's handle is forgotten";
}

TEST_F(Library, LongerReadOfACardThatLeftIsNotAskedAgain) {
    EXPECT_EQ(Connect(), 0);
    pcsc.transmit = {0x80100069};
    EXPECT_EQ(Read(0), 33);
    EXPECT_EQ(std::count_if(pcsc.calls.begin(), pcsc.calls.end(),
                            [](const std::string& call) { return call.starts_with("transmit"); }),
              1);
}

TEST_F(Library, ConnectingAgainReleasesTheOldConnection) {
    EXPECT_EQ(Connect(), 0);
    const std::int32_t first = handle;
    pcsc.calls.clear();
    EXPECT_EQ(Connect(), 0);
    EXPECT_EQ(pcsc.calls,
              (std::vector<std::string>{"disconnect 1", "connect R1", "status R1 0 0"}));
    EXPECT_EQ(library.ASEMemRead(first, 0, block, 0, 0), 38);
}

TEST_F(Library, ReadersThatSelectTheCardTypeFirst) {
    pcsc.atr = {0x3B, 0x04, 0x92, 0x23, 0x10, 0x91};
    pcsc.responses = {Ok(), Ok(), {0x6A, 0x81}};
    EXPECT_EQ(Connect("ACS ACR38U 00 00"), 0);
    EXPECT_EQ(type, 19);
    EXPECT_TRUE(Called("transmit 1 255 164 0 0 1 2"));
    EXPECT_EQ(Write({7}), 0);
    EXPECT_TRUE(Called("transmit 1 255 208 0 0 1 7"));
    EXPECT_EQ(Connect("ACS ACR38U 00 00"), 0);
    EXPECT_NE(type, 19) << "a refused selection leaves the type of the answer-to-reset";
}

} // namespace
