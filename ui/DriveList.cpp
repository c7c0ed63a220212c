#include "ui/DriveList.h"

#include <QDir>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace {

bool HoldsUserFiles(const QStorageInfo& volume) {
    static const QStringList Pseudo = {
        "proc",    "sysfs",  "devtmpfs",    "devpts",   "cgroup", "cgroup2",   "securityfs",
        "pstore",  "bpf",    "debugfs",     "tracefs",  "mqueue", "hugetlbfs", "configfs",
        "fusectl", "autofs", "binfmt_misc", "efivarfs", "nsfs",   "rpc_pipefs"};
    return volume.isValid() && volume.isReady() &&
           !Pseudo.contains(QString::fromLatin1(volume.fileSystemType()));
}

} // namespace

QStringList UserVolumes() {
    QStringList mountPoints = {QStorageInfo::root().rootPath()};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (HoldsUserFiles(volume) && !mountPoints.contains(volume.rootPath())) {
            mountPoints.append(volume.rootPath());
        }
    }
    mountPoints.sort();
    return mountPoints;
}

DriveList::DriveList(VolumeSource volumes, QWidget* parent)
    : QComboBox(parent), volumes_(std::move(volumes)) {}

void DriveList::Refresh() {
    const QSignalBlocker quiet(this);
    const QString shown = currentText();
    clear();
    addItems(volumes_());
    setCurrentIndex(std::max(0, findText(shown)));
}

void DriveList::ShowDriveOf(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < count(); ++i) {
        const QString mountPoint = itemText(i);
        const bool holds =
            clean == mountPoint || mountPoint == "/" || clean.startsWith(mountPoint + "/");
        if (holds && mountPoint.size() > bestLength) {
            best = i;
            bestLength = mountPoint.size();
        }
    }
    const QSignalBlocker quiet(this);
    setCurrentIndex(best);
}
