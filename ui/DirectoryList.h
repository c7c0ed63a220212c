#pragma once

#include <QListWidget>
#include <string>

// The directory list: the folders from the drive down to the current one, each a step further
// in, then the current folder's subfolders. The window enters a folder on a double-click.
class DirectoryList : public QListWidget {
public:
    explicit DirectoryList(QWidget* parent = nullptr);

    QString Path() const { return path_; }
    // The folder an entry of the list stands for.
    QString PathOf(const QListWidgetItem* item) const;
    // Throws RuntimeError for a path that is not a folder that can be read.
    void SetPath(const QString& path);
    // Why the list cannot show the path; empty for a folder that can be read.
    static std::string Unusable(const QString& path);
    void SetDrive(const QString& drive) { drive_ = drive; }

private:
    QString path_;
    QString drive_ = "/";

    void Fill();
};
