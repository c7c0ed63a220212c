#pragma once

#include <QComboBox>
#include <QStringList>
#include <functional>

// The mounted volumes that hold a user's files, by their mount points; the volume of the root
// folder is always listed.
QStringList UserVolumes();

// The drive list: one entry per volume. The drive of a path is the volume that holds it.
class DriveList : public QComboBox {
public:
    using VolumeSource = std::function<QStringList()>;

    explicit DriveList(VolumeSource volumes, QWidget* parent = nullptr);

    void Refresh();
    QString Drive() const { return currentText(); }
    // Shows the drive of the path without telling anyone that the drive changed.
    void ShowDriveOf(const QString& path);

private:
    VolumeSource volumes_;
};
