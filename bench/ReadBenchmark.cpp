// What the operator waits for when a full farm card is read through the PC/SC daemon and its
// virtual reader, against the bare card commands:
//   BarePcsc     connect, 512 READ BINARY of 64 bytes, disconnect: straight pcsc-lite calls
//   LibraryReads the same through the project's reader library
//   Exchange     the card exchange with its status lines, log file and export rows
//   Window       Read Card in the real window (needs a display), from the start of the click
//                handler to its return, the final paint included; no export file is there
// The four are taken in turn, round after round, so that a drift of the daemon or the virtual
// card falls on each alike; each figure is the median of its reads. Then the same card in a
// reader that takes the time of a real one, 4 ms a command and 22.5 us a byte on the card's bus:
//   (e)          the bare 64-byte reads against Read Card through the form, with the commands
//                each sends
//   (f)          the window's longest wait between two turns of its event loop while Read Card
//                runs, and the time from Cancel to the end of a read cut short
//   (g)          what the herd book adds to a read: the book opened, and the card's weighings
//                taken in, as a read does once it has archived the card
//
// read_benchmark [ROUNDS [MODELLED_ROUNDS]]   reads the card in "Virtual PCD 00 00" and the
//     modelled reader "Virtual PCD 00 01" (scripts/bench.sh puts the farm card of the tests in
//     both)

#include "card/CreateExport.h"
#include "herd/TakeIn.h"
#include "reader/PcscLite.h"
#include "reader/ReaderLibrary.h"
#include "tests/support/ExchangeHarness.h"
#include "tests/support/FakeControls.h"
#include "tests/support/TestFiles.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <span>
#include <winscard.h>

namespace {

constexpr const char* Reader = "Virtual PCD 00 00";
// The same card behind a reader that takes its time as a real one does (scripts/bench.sh).
constexpr const char* ModelledReader = "Virtual PCD 00 01";

// One read of the whole card; false when it did not get to the card's end.
using CardRead = std::function<bool()>;

class BarePcsc {
public:
    BarePcsc() { SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context_); }
    ~BarePcsc() { SCardReleaseContext(context_); }

    // Connect, 512 reads of 64 bytes, disconnect.
    bool Read(const char* reader = Reader) {
        SCARDHANDLE card = 0;
        DWORD protocol = 0;
        bool ok = SCardConnect(context_, reader, SCARD_SHARE_EXCLUSIVE,
                               SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &card, &protocol) == 0;
        const SCARD_IO_REQUEST pci = {protocol, sizeof(SCARD_IO_REQUEST)};
        for (unsigned address = 0; ok && address < CardMemorySize; address += 64) {
            const BYTE command[] = {0xFF, 0xB0, static_cast<BYTE>(address >> 8),
                                    static_cast<BYTE>(address), 64};
            BYTE response[258];
            DWORD length = sizeof response;
            ok = SCardTransmit(card, &pci, command, sizeof command, nullptr, response, &length) ==
                     0 &&
                 length == 66;
        }
        return ok && SCardDisconnect(card, SCARD_LEAVE_CARD) == 0;
    }

private:
    SCARDCONTEXT context_ = 0;
};

// The PC/SC service, with the card commands sent through it counted.
class CountingTransport : public PcscTransport {
public:
    explicit CountingTransport(int& commands) : commands(commands) {}
    int& commands;

    std::uint32_t EstablishContext() override { return pcsc_->EstablishContext(); }
    void ReleaseContext() override { pcsc_->ReleaseContext(); }
    std::uint32_t ListReaders(std::vector<std::string>& readers) override {
        return pcsc_->ListReaders(readers);
    }
    std::uint32_t GetStatusChange(const std::string& reader, std::uint32_t known,
                                  std::uint32_t timeoutMs, ReaderState& state) override {
        return pcsc_->GetStatusChange(reader, known, timeoutMs, state);
    }
    std::uint32_t Connect(const std::string& reader, PcscCard& card,
                          std::uint32_t& protocol) override {
        return pcsc_->Connect(reader, card, protocol);
    }
    std::uint32_t Status(PcscCard card, std::vector<std::uint8_t>& atr) override {
        return pcsc_->Status(card, atr);
    }
    std::uint32_t Transmit(PcscCard card, std::uint32_t protocol,
                           std::span<const std::uint8_t> command,
                           std::vector<std::uint8_t>& response) override {
        ++commands;
        return pcsc_->Transmit(card, protocol, command, response);
    }
    std::uint32_t Disconnect(PcscCard card) override { return pcsc_->Disconnect(card); }

private:
    std::unique_ptr<PcscTransport> pcsc_ = MakePcscLiteTransport();
};

bool LibraryRead(ReaderLibrary& library) {
    std::vector<std::uint8_t> block(64);
    std::int32_t handle = 0;
    std::int32_t type = 0;
    bool ok = library.ASEMemConnect(handle, Reader, 2, type) == 0;
    for (std::int32_t address = 0; ok && address < CardMemorySize; address += 64) {
        ok = library.ASEMemRead(handle, address, block, 0, 64) == 0;
    }
    return ok && library.ASEMemDisconnect(handle, 6) == 0;
}

bool ExchangeRead(ExchangeHarness& harness, ReaderLibrary& library,
                  const std::filesystem::path& exportFile) {
    const auto file = CreateExport(exportFile);
    harness.assembler.SetRowWriter(file.get());
    const std::int32_t result = harness.Run(library, ExchangeMode::ExchangeRead, Reader);
    file->Close();
    harness.window.lines.clear();
    return result == 0 && harness.cardBytesRead == CardMemorySize;
}

// Runs the window's events until its command has ended.
void UntilIdle(MainWindow& window) {
    while (window.Form().Busy()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
}

bool WindowRead(MainWindow& window) {
    window.Form().cmdReadCard_Click();
    UntilIdle(window);
    // "Finished!", and after it the line that sums up the rows.
    const int count = window.ListStatus->count();
    const bool ok = count > 1 && window.ListStatus->item(count - 2)->text() == "Finished!";
    window.ListStatus->clear();
    return ok;
}

using Milliseconds = std::chrono::duration<double, std::milli>;

// The longest time between two turns of the window's event loop while Read Card runs.
Milliseconds LongestEventGap(MainWindow& window) {
    using Clock = std::chrono::steady_clock;
    auto last = Clock::now();
    Milliseconds longest{0};
    QTimer turns;
    QObject::connect(&turns, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        longest = std::max<Milliseconds>(longest, now - last);
        last = now;
    });
    turns.start(1);
    window.Form().cmdReadCard_Click();
    last = Clock::now();
    UntilIdle(window);
    return longest;
}

// From Cancel to the end of a read, pressed once the read is well under way.
Milliseconds CancelToEnd(MainWindow& window) {
    window.Form().cmdReadCard_Click();
    const auto started = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - started < std::chrono::milliseconds(300)) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    const auto pressed = std::chrono::steady_clock::now();
    window.cmdCancel->click();
    UntilIdle(window);
    return std::chrono::steady_clock::now() - pressed;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Each way of reading in turn, round after round, so that a drift of the daemon or the virtual
// card falls on each alike; the median of each, or nothing when a read did not get to the end.
std::optional<std::vector<double>>
Interleaved(std::span<const std::pair<const char*, CardRead>> ways, int rounds,
            const std::function<void()>& between) {
    std::vector<std::vector<double>> milliseconds(ways.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < ways.size(); ++i) {
            between();
            const auto start = std::chrono::steady_clock::now();
            const bool ok = ways[i].second();
            milliseconds[i].push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
            if (!ok) {
                std::fprintf(stderr, "%s: the card was not read to its end\n", ways[i].first);
                return std::nullopt;
            }
        }
    }
    std::vector<double> medians;
    for (const auto& times : milliseconds) {
        medians.push_back(Median(times));
    }
    return medians;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc >= 2 ? std::atoi(argv[1]) : 15;
    const int modelledRounds = argc >= 3 ? std::atoi(argv[2]) : 5;
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "the window needs a display\n");
        return 1;
    }
    QApplication application(argc, argv);
    TempDir dir;
    BarePcsc bare;
    ReaderLibrary library(MakePcscLiteTransport(), dir / "cards");
    ExchangeHarness harness(dir / "log.txt");
    // Each command makes its reader library afresh, as the program's window does.
    const auto fresh = [&] {
        return std::make_shared<ReaderLibrary>(MakePcscLiteTransport(), dir / "cards");
    };
    MainWindow window(fresh, {dir / "Ostrivan.reg", dir / "data"});
    window.Form().Form_Load();
    window.show();
    QApplication::processEvents();
    window.SetReaderText(Reader);
    const auto noExport = [&] { std::filesystem::remove(dir / "data" / "data.csv"); };

    const std::pair<const char*, CardRead> ways[] = {
        {"(a) bare pcsc-lite calls", [&] { return bare.Read(); }},
        {"(b) reader library, bare reads", [&] { return LibraryRead(library); }},
        {"(c) card exchange, status lines, log and export",
         [&] { return ExchangeRead(harness, library, dir / "exchange.csv"); }},
        {"(d) Read Card in the window", [&] { return WindowRead(window); }}};
    const auto medians = Interleaved(ways, rounds, noExport);
    if (!medians) {
        return 1;
    }
    std::printf("median of %d reads of a full card (512 blocks), each way in turn:\n", rounds);
    for (std::size_t i = 0; i < std::size(ways); ++i) {
        std::printf("  %-50s %7.1f ms  %5.2f x (a)\n", ways[i].first, (*medians)[i],
                    (*medians)[i] / (*medians)[0]);
    }
    std::printf("goals: (c) at most 1.15 x (a), aiming at 1.10; (d) at most 1.5 x (a)\n");

    // A reader that takes 4 ms a command and 22.5 us a byte on the card's bus.
    int commands = 0;
    FakeControls controls;
    frmOstrivan form(controls,
                     [&] {
                         return std::make_shared<ReaderLibrary>(
                             std::make_unique<CountingTransport>(commands), dir / "cards");
                     },
                     {dir / "Ostrivan.reg", dir / "data"});
    controls.readerText = ModelledReader;
    const std::pair<const char*, CardRead> modelledWays[] = {
        {"(e) bare 64-byte reads", [&] { return bare.Read(ModelledReader); }},
        {"(e) Read Card through the form", [&] {
             commands = 0;
             controls.lines.clear();
             return form.ReadCard("data.csv", dir / "modelled.csv") == Outcome::Done;
         }}};
    const auto modelledMedians = Interleaved(modelledWays, modelledRounds, [] {});
    if (!modelledMedians) {
        return 1;
    }
    std::printf("median of %d reads on a reader that takes 4 ms a command and 22.5 us a byte:\n",
                modelledRounds);
    std::printf("  %-50s %7.1f ms  512 commands\n", modelledWays[0].first, (*modelledMedians)[0]);
    std::printf("  %-50s %7.1f ms  %d commands  %5.2f x the bare reads\n", modelledWays[1].first,
                (*modelledMedians)[1], commands, (*modelledMedians)[1] / (*modelledMedians)[0]);
    std::printf("goals: (e) at most 0.5 x the bare reads, in at most 129 commands\n");

    window.SetReaderText(ModelledReader);
    std::vector<double> gaps;
    std::vector<double> cancels;
    for (int round = 0; round < modelledRounds; ++round) {
        noExport();
        gaps.push_back(LongestEventGap(window).count());
        noExport();
        cancels.push_back(CancelToEnd(window).count());
    }
    std::printf("(f) the window during Read Card on that reader, median of %d:\n", modelledRounds);
    std::printf("  %-50s %7.1f ms\n", "longest wait between turns of its event loop", Median(gaps));
    std::printf("  %-50s %7.1f ms\n", "from Cancel to the end of the read", Median(cancels));
    std::printf("goals: (f) under 100 ms between turns; under 1 s from Cancel to the end\n");

    // Each round a card of its own, so that its image is new to the book.
    const auto farm = TestCard("farm");
    std::vector<double> adds;
    for (int round = 0; round < rounds; ++round) {
        (*farm)[CardMemorySize - 1] = static_cast<std::uint8_t>(round);
        const auto start = std::chrono::steady_clock::now();
        HerdBook book(dir / "herd-book.sqlite");
        TakeInRead(book, "farm.card", std::span(*farm).first(CardMemorySize));
        adds.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::printf("(g) the herd book, median of %d reads of a full farm card:\n", rounds);
    std::printf("  %-50s %7.1f ms\n", "opened, and the card's weighings taken in", Median(adds));
    std::printf("goals: (g) at most 20 ms\n");
    return 0;
}
