#include "ui/DirectoryList.h"

#include "report/RuntimeError.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int IndentPerLevel = 2;

} // namespace

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent) {}

QString DirectoryList::PathOf(const QListWidgetItem* item) const {
    return item == nullptr ? path_ : item->data(PathRole).toString();
}

std::string DirectoryList::Unusable(const QString& path) {
    const QFileInfo folder(path);
    return folder.isDir() && QDir(path).isReadable() ? std::string()
                                                     : "Path not found: " + path.toStdString();
}

void DirectoryList::SetPath(const QString& path) {
    if (const std::string why = Unusable(path); !why.empty()) {
        throw RuntimeError(why);
    }
    path_ = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    Fill();
}

void DirectoryList::Fill() {
    clear();
    // The steps from the drive down to the current folder.
    QStringList steps;
    for (QString step = path_; !step.isEmpty(); step = QFileInfo(step).path()) {
        steps.prepend(step);
        if (step == drive_ || step == "/" || (!drive_.isEmpty() && !step.startsWith(drive_))) {
            break;
        }
    }
    int level = 0;
    for (const QString& step : steps) {
        const QString name = level == 0 ? step : QFileInfo(step).fileName();
        auto* item = new QListWidgetItem(QString(level * IndentPerLevel, ' ') + name, this);
        item->setData(PathRole, step);
        ++level;
    }
    setCurrentRow(count() - 1);
    const QDir current(path_);
    for (const QString& sub : current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        auto* item = new QListWidgetItem(QString(level * IndentPerLevel, ' ') + sub, this);
        item->setData(PathRole, current.filePath(sub));
    }
}
