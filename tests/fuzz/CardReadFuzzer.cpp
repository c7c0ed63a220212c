// Any card image, of any size, read through the form's Read Card: the card-file reader, the
// exchange, the item walk, the record assembler, the export file and the dump lines.

#include "form/frmOstrivan.h"
#include "reader/ReaderLibrary.h"
#include "tests/fuzz/FuzzFolder.h"
#include "tests/support/FakeControls.h"
#include "tests/support/TestFiles.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const AppFolders folders{FuzzFolder() / "Ostrivan.reg", FuzzFolder() / "data"};
    std::error_code ignored;
    if (!std::filesystem::exists(folders.settingsFile)) { // a farm that keeps no log
        WriteFileBytes(folders.settingsFile,
                       "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelk\\Ostrivan]\r\n"
                       "\"Farm Name\"=\"fuzz\"\r\n\"Log File\"=\"\"\r\n");
    }
    std::filesystem::remove_all(folders.ArchiveFolder()); // each read keeps its one image
    WriteFileBytes(folders.CardsFolder() / "fuzz.card",
                   std::string(reinterpret_cast<const char*>(data), size));
    FakeControls controls;
    frmOstrivan form(
        controls,
        [&] { // no PC/SC service
            return std::make_shared<ReaderLibrary>(nullptr, folders.CardsFolder());
        },
        folders, [] { return std::vector<std::filesystem::path>{"/"}; });
    form.Form_Load();
    controls.readerText = "fuzz";
    controls.lines.clear();
    form.cmdReadCard_Click();

    auto& lines = controls.lines;
    if (lines.size() > 1 && lines[lines.size() - 2] == "Finished!" &&
        lines.back().starts_with("Read ")) {
        lines.pop_back(); // the rows summed up, after the last line
    }
    const bool done = lines.back() == "Finished!";
    if (!done && !lines.back().starts_with("** Error in cmdReadCard_Click() VB error = ")) {
        std::abort(); // a read ends with its last line or with the error that ended it
    }
    const std::string exported = ReadFileBytes(folders.dataFolder / "data.csv");
    if (!exported.starts_with("RecType,") || !exported.ends_with("\r\n")) {
        std::abort(); // the header, then whole rows
    }
    const auto blocks = std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.starts_with("Card[");
    });
    const bool noEnd = std::find(lines.begin(), lines.end(),
                                 "Error! No end of file found on card!") != lines.end();
    if (blocks > 512 || (noEnd && (blocks != 512 || !done))) {
        std::abort(); // a read takes 512 blocks at the most, and only then says it found no end
    }
    // The bytes of every block read are kept, and no more; a block whose items could not be
    // decoded was read, but never shown.
    const std::filesystem::directory_iterator kept(folders.ArchiveFolder(), ignored);
    const auto keptBlocks =
        kept == std::filesystem::directory_iterator() ? 0 : kept->file_size() / 64;
    const auto shown = static_cast<std::uintmax_t>(blocks);
    const bool readNotShown = keptBlocks == shown + 1 && !done;
    if (keptBlocks != shown && !readNotShown) {
        std::abort();
    }
    return 0;
}
