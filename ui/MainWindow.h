#pragma once

#include "form/frmOstrivan.h"
#include "ui/WorkerView.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
#include <chrono>
#include <future>
#include <thread>

// The window: the widgets of the form's controls, laid out as designed, with their events
// handed to the form's handlers. A command's card operation runs in a worker thread, so the
// window answers throughout; the row at the bottom shows its progress and offers Cancel
// (Escape presses it from anywhere).
class MainWindow : public QWidget, public FormControls {
public:
    MainWindow(ReaderMaker readers, AppFolders folders, DriveSource drives = MountedDrives);
    // Ends with the operation under way, if any: it was asked to stop when the window closed.
    ~MainWindow() override;

    frmOstrivan& Form() { return form_; }

    // Waits at most the time given for the operation under way to end; whether none is left.
    bool OperationEnded(std::chrono::milliseconds patience);

    std::string Text(TextBox box) const override;
    std::optional<char32_t> Unstorable(TextBox box) const override;
    void SetText(TextBox box, std::string_view text) override;
    std::string ReaderText() const override;
    void SetReaderText(std::string_view text) override;
    void AddReader(std::string_view name) override;
    void ClearReaders() override;
    void ShowDrives(const std::vector<std::string>& drives, int shown) override;
    int ShownDrive() const override;
    void ShowDirectory(const std::vector<std::string>& entries, int current) override;
    void SetBusy(bool busy) override;
    void RunOperation(std::function<void(OperationView)> work,
                      std::function<void()> ended) override;
    // The status list keeps its newest 32767 lines.
    void AddLine(std::string_view text, LineKind kind) override;
    void ShowProgress(ProgressOf what, std::int32_t done, std::int32_t total) override;
    void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) override;
    MessageAnswer AskOkCancel(std::string_view text, std::string_view caption,
                              MessageIcon icon) override;

    QPushButton* cmdClearCard;
    QComboBox* cmbReaderNames;
    QLineEdit* TextFileName;
    QComboBox* DriveListBox;
    QListWidget* ListStatus;
    QListWidget* DirListBox;
    QPushButton* cmdReadCard;
    QLineEdit* TextPICId;
    QLineEdit* TextFarmName;
    QProgressBar* ProgressBar;
    QPushButton* cmdCancel;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    frmOstrivan form_;
    WorkerView workerView_;
    std::thread worker_;
    std::future<void> workDone_;
    std::function<void()> ended_;
    bool scrollQueued_ = false;

    void BuildControls();
    void ConnectHandlers();
    QLineEdit* Box(TextBox box) const;
    void OperationEnded();
};
