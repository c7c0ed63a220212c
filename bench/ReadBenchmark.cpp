// What the operator waits for when a full farm card is read through the PC/SC daemon and its
// virtual reader, against the bare card commands:
//   BarePcsc     connect, 512 READ BINARY of 64 bytes, disconnect: straight pcsc-lite calls
//   LibraryReads the same through the project's reader library
//   Exchange     the card exchange with its status lines, log file and export rows
//   Window       Read Card in the real window (needs a display), from the start of the click
//                handler to its return, the final paint included; no export file is there
// The four are taken in turn, round after round, so that a drift of the daemon or the virtual
// card falls on each alike; each figure is the median of its reads.
//
// read_benchmark [ROUNDS]   reads the card in "Virtual PCD 00 00" (scripts/bench.sh puts the
//                           farm card of the tests there)

#include "card/ExportFile.h"
#include "reader/PcscLite.h"
#include "reader/ReaderLibrary.h"
#include "tests/support/ExchangeHarness.h"
#include "tests/support/TestFiles.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <winscard.h>

namespace {

constexpr const char* Reader = "Virtual PCD 00 00";

// One read of the whole card; false when it did not get to the card's end.
using CardRead = std::function<bool()>;

class BarePcsc {
public:
    BarePcsc() { SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context_); }
    ~BarePcsc() { SCardReleaseContext(context_); }

    bool Read() {
        SCARDHANDLE card = 0;
        DWORD protocol = 0;
        bool ok = SCardConnect(context_, Reader, SCARD_SHARE_EXCLUSIVE,
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
    ExportFile file(exportFile);
    harness.assembler.SetRowWriter(&file);
    const std::int32_t result = harness.Run(library, ExchangeMode::ExchangeRead, Reader);
    file.Close();
    harness.window.lines.clear();
    return result == 0 && harness.cardBytesRead == CardMemorySize;
}

bool WindowRead(MainWindow& window) {
    window.Form().cmdReadCard_Click();
    const bool ok = window.ListStatus->item(window.ListStatus->count() - 1)->text() == "Finished!";
    window.ListStatus->clear();
    return ok;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc == 2 ? std::atoi(argv[1]) : 15;
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "the window needs a display\n");
        return 1;
    }
    QApplication application(argc, argv);
    TempDir dir;
    BarePcsc bare;
    ReaderLibrary library(MakePcscLiteTransport(), dir / "cards");
    ExchangeHarness harness(dir / "log.txt");
    MainWindow window(library, {dir / "Ostrivan.reg", dir / "data"});
    window.Form().Form_Load();
    window.show();
    QApplication::processEvents();
    window.SetReaderText(Reader);

    const std::pair<const char*, CardRead> measures[] = {
        {"(a) bare pcsc-lite calls", [&] { return bare.Read(); }},
        {"(b) reader library, bare reads", [&] { return LibraryRead(library); }},
        {"(c) card exchange, status lines, log and export",
         [&] { return ExchangeRead(harness, library, dir / "exchange.csv"); }},
        {"(d) Read Card in the window", [&] { return WindowRead(window); }}};
    std::vector<std::vector<double>> milliseconds(std::size(measures));
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < std::size(measures); ++i) {
            std::filesystem::remove(dir / "data" / "data.csv"); // no question is asked
            const auto start = std::chrono::steady_clock::now();
            const bool ok = measures[i].second();
            milliseconds[i].push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
            if (!ok) {
                std::fprintf(stderr, "%s: the card was not read to its end\n", measures[i].first);
                return 1;
            }
        }
    }
    const double bareMedian = Median(milliseconds[0]);
    std::printf("median of %d reads of a full card (512 blocks), each way in turn:\n", rounds);
    for (std::size_t i = 0; i < std::size(measures); ++i) {
        const double median = Median(milliseconds[i]);
        std::printf("  %-50s %7.1f ms  %5.2f x (a)\n", measures[i].first, median,
                    median / bareMedian);
    }
    std::printf("goals: (c) at most 1.15 x (a), aiming at 1.10; (d) at most 1.5 x (a)\n");
    return 0;
}
