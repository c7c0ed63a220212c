#include "ui/AppFolders.h"

#include <QStandardPaths>

AppFolders AppFolders::Standard() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return {config + "/Trelk/Ostrivan.reg", data + "/Trelk/Ostrivan"};
}
