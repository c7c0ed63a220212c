#include "cli/Companion.h"

#include "reader/PcscLite.h"
#include "reader/ReaderLibrary.h"

ReaderMaker StationReaders(const AppFolders& folders) {
    return [cards = folders.CardsFolder()] {
        return std::make_shared<ReaderLibrary>(MakePcscLiteTransport(), cards);
    };
}

std::unique_ptr<Companion> WithReaders(const CardOptions& options) {
    const AppFolders folders = AppFolders::Standard();
    // A first run makes the data folder, as the window's start-up does; one that cannot be
    // made shows in the log's failure.
    std::error_code unmade;
    std::filesystem::create_directories(folders.dataFolder, unmade);
    auto companion = std::make_unique<Companion>(options, folders, StationReaders(folders));
    companion->form.LogWhenUnset();
    return companion;
}
