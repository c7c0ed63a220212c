#include "reader/PcscLite.h"
#include "reader/ReaderLibrary.h"
#include "ui/frmOstrivan.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    QApplication application(argc, argv); // Qt's own options only: the program takes none
    const AppFolders folders = AppFolders::Standard();
    QDir().mkpath(folders.CardsFolder());
    ReaderLibrary library(MakePcscLiteTransport(),
                          QFile::encodeName(folders.CardsFolder()).toStdString());
    frmOstrivan window(library, folders);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
