#include "base/StopRequest.h"
#include "reader/PcscLite.h"
#include "reader/ReaderLibrary.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication application(argc, argv); // Qt's own options only: the program takes none
    // The desktop ends the program with SIGTERM or SIGHUP at logout: at once when it is idle,
    // and after the command under way has ended the way a failure would.
    stop::HandleSignals();
    QTimer stopped;
    QObject::connect(&stopped, &QTimer::timeout, [] {
        if (stop::Requested() != 0) {
            QApplication::exit(stop::ExitStatus());
        }
    });
    stopped.start(100);
    const AppFolders folders = AppFolders::Standard();
    std::error_code ignored; // a folder that cannot be made shows as no card files
    std::filesystem::create_directories(folders.CardsFolder(), ignored);
    ReaderLibrary library(MakePcscLiteTransport(), folders.CardsFolder());
    MainWindow window(library, folders);
    window.Form().Form_Load();
    window.show();
    return QApplication::exec();
}
