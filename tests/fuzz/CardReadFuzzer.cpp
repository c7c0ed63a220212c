// Any card image, of any size, through a whole read: the virtual reader, the exchange, the item
// walk, the record assembler, the export file and the dump lines.

#include "card/ExportFile.h"
#include "reader/ReaderLibrary.h"
#include "tests/fuzz/FuzzFolder.h"
#include "tests/fuzz/InMemoryWindow.h"
#include "tests/support/FakeTransport.h"

#include <cstdlib>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& folder = FuzzFolder();
    std::filesystem::create_directories(folder / "cards");
    {
        std::ofstream card(folder / "cards" / "fuzz.card", std::ios::binary | std::ios::trunc);
        card.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    FakeTransport::Script noService;
    noService.establish.assign(8, PcscCode::NoService);
    ReaderLibrary library(std::make_unique<FakeTransport>(noService), folder / "cards");
    InMemoryWindow window(folder);
    NamedReader reader("fuzz");
    ExportFile file(folder / "data.csv");
    window.assembler.SetRowWriter(&file);
    const std::int32_t result = window.Exchange(library, reader, ExchangeMode::ExchangeRead);
    file.Close();
    if (result == 0 && window.list.lines.back() != "Disconnect card") {
        std::abort(); // a read reported as done must have ended at the disconnect
    }
    if (window.cardBytesRead < 0 || window.cardBytesRead > CardMemorySize) {
        std::abort();
    }
    return 0;
}
