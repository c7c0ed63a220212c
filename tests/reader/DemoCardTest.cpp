#include "card/CardDescription.h"
#include "tests/support/ExchangeFixture.h"
#include "tests/support/FakeLibrary.h"

namespace {

std::string SourceFile(const std::string& path) {
    return ReadFileBytes(std::filesystem::path(OSTRIVAN_SOURCE_DIR) / path);
}

// The demo card read by the exchange gives the export and log that the window's end-to-end
// test expects of the program.
class DemoCard : public ExchangeFixture {};

TEST_F(DemoCard, ReadGivesTheExpectedExportAndLog) {
    const CardDescription demo = CardFromDescription(SourceFile("data/demo-card.txt"));
    ASSERT_TRUE(demo.image) << demo.error;
    FakeLibrary library;
    *library.card = *demo.image;
    const char* labels[] = {"RecType",    "Time",        "Date",          "Tag Nr",
                            "Invoice Nr", "Location Id", "Location Name", "Weight",
                            "Gate Nr",    "Device Id",   "Version"};
    for (std::size_t slot = 0; slot < 11; ++slot) {
        assembler.RowFields[slot].Label = labels[slot];
    }
    ASSERT_EQ(Run(library, ExchangeMode::ExchangeRead), 0);

    std::string export_ = ExportLine(assembler.RowFields, &RowField::Label);
    std::string log = "STARTING Ostrivan Ver  2. 2. 1\r\nOpening file data.csv\r\n";
    for (const std::string& line : list.lines) {
        if (line.starts_with("row: ")) {
            export_ += line.substr(5) + "\r\n";
        }
    }
    for (const std::string& text : LogTexts()) {
        log += text + "\r\n";
    }
    EXPECT_EQ(export_, SourceFile("tests/data/demo-card.csv"));
    EXPECT_EQ(log, SourceFile("tests/data/demo-card-log.txt"));
}

} // namespace
