// How much a read of a full card costs on top of the bare card commands: one card read through
// the PC/SC daemon and its virtual reader, once by the card exchange with its status lines, log
// file and export file, once by a bare connect, 512 READ BINARY commands and a disconnect.
//
// exchange_benchmark --write-card FILE   writes the card image the benchmark reads
// exchange_benchmark [benchmark options] reads it from the card in "Virtual PCD 00 00"

#include "card/ExportFile.h"
#include "reader/PcscLite.h"
#include "reader/ReaderLibrary.h"
#include "tests/support/ExchangeHarness.h"
#include "tests/support/FarmCard.h"
#include "tests/support/TempDir.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

constexpr const char* Reader = "Virtual PCD 00 00";

void ExchangeRead(benchmark::State& state) {
    TempDir dir;
    ExchangeHarness harness(dir / "log.txt");
    ReaderLibrary library(MakePcscLiteTransport(), dir / "cards");
    for (auto _ : state) {
        ExportFile file(dir / "data.csv");
        harness.assembler.SetRowWriter(&file);
        const std::int32_t result = harness.Run(library, ExchangeMode::ExchangeRead, Reader);
        file.Close();
        harness.window.lines.clear();
        if (result != 0 || harness.cardBytesRead != CardMemorySize) {
            state.SkipWithError("the card was not read to its end");
        }
    }
}

void BareReads(benchmark::State& state) {
    TempDir dir;
    ReaderLibrary library(MakePcscLiteTransport(), dir / "cards");
    std::vector<std::uint8_t> block(64);
    for (auto _ : state) {
        std::int32_t handle = 0;
        std::int32_t type = 0;
        bool ok = library.ASEMemConnect(handle, Reader, 2, type) == 0;
        for (std::int32_t address = 0; ok && address < CardMemorySize; address += 64) {
            ok = library.ASEMemRead(handle, address, block, 0, 64) == 0;
        }
        ok = ok && library.ASEMemDisconnect(handle, 6) == 0;
        if (!ok) {
            state.SkipWithError("a card command failed");
        }
    }
}

BENCHMARK(ExchangeRead)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BareReads)->Unit(benchmark::kMillisecond)->Iterations(20);

// Keeps each benchmark's time per read, to put the two side by side at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> milliseconds;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            milliseconds[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

int WriteCard(const char* file) {
    const CardBuilder card = FarmCard(CardMemorySize - 40);
    std::FILE* out = std::fopen(file, "wb");
    const bool written =
        out != nullptr && std::fwrite(card.Image().data(), 1, CardMemorySize, out) ==
                              static_cast<std::size_t>(CardMemorySize);
    return (out != nullptr && std::fclose(out) == 0 && written) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-card") == 0) {
        return WriteCard(argv[2]);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double exchange = reporter.milliseconds["ExchangeRead"];
    const double bare = reporter.milliseconds["BareReads"];
    if (bare > 0) {
        std::printf(
            "card exchange %.1f ms, bare card commands %.1f ms, ratio %.3f (goal: at most 1.25)\n",
            exchange, bare, exchange / bare);
    }
    benchmark::Shutdown();
    return 0;
}
