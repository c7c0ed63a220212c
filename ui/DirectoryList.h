#pragma once

#include <QListWidget>

// The directory list: the folders from the drive down to the current one, each a step further
// in, then the current folder's subfolders. Double-clicking a folder makes it the current one.
class DirectoryList : public QListWidget {
public:
    explicit DirectoryList(QWidget* parent = nullptr);

    QString Path() const { return path_; }
    // Throws RuntimeError for a path that is not a folder that can be read.
    void SetPath(const QString& path);
    void SetDrive(const QString& drive) { drive_ = drive; }

private:
    QString path_;
    QString drive_ = "/";

    void Fill();
};
