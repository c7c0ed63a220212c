#include "reader/PcscLite.h"
#include "reader/ReaderLibrary.h"
#include "ui/MainWindow.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv); // Qt's own options only: the program takes none
    const AppFolders folders = AppFolders::Standard();
    std::error_code ignored; // a folder that cannot be made shows as no card files
    std::filesystem::create_directories(folders.CardsFolder(), ignored);
    ReaderLibrary library(MakePcscLiteTransport(), folders.CardsFolder());
    MainWindow window(library, folders);
    window.Form().Form_Load();
    window.show();
    return QApplication::exec();
}
