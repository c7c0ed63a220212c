#include "base/Stop.h"
#include "reader/BoundedLibrary.h"
#include "reader/PcscLite.h"
#include "reader/ReaderLibrary.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <unistd.h>

namespace {

// How long the program waits, once its window closed, for an operation asked to stop to end.
constexpr std::chrono::milliseconds EndingPatience{900};

} // namespace

int main(int argc, char** argv) {
    // The desktop ends the program with SIGTERM or SIGHUP at logout: at once when it is idle,
    // and after the command under way has ended the way a failure would.
    stop::HandleSignals();
    QApplication application(argc, argv); // Qt's own options only: the program takes none
    const AppFolders folders = AppFolders::Standard();
    std::error_code ignored; // a folder that cannot be made shows as no card files
    std::filesystem::create_directories(folders.CardsFolder(), ignored);
    MainWindow window(
        [cards = folders.CardsFolder()] {
            return std::make_shared<ReaderLibrary>(MakePcscLiteTransport(), cards);
        },
        folders);
    QTimer stopped;
    QObject::connect(&stopped, &QTimer::timeout, [&window] {
        if (stop::Signalled() == 0) {
            return;
        }
        if (!window.Form().Busy()) {
            QApplication::exit(stop::ExitStatus());
        } else if (QWidget* box = QApplication::activeModalWidget()) {
            box->close(); // a box of the stopped operation holds it no longer
        }
    });
    stopped.start(100);
    window.Form().Form_Load();
    window.show();
    const int status = QApplication::exec();
    // A closed window ends the program within a second: an operation that has not ended by
    // then, or a card call left behind, is not waited for.
    if (!window.OperationEnded(EndingPatience) || BoundedLibrary::CallsLeftBehind() > 0) {
        std::fflush(nullptr);
        ::_exit(status);
    }
    return status;
}
