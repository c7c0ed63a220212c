#pragma once

#include "form/frmOstrivan.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

// The window: the widgets of the form's controls, laid out as designed, with their events
// handed to the form's handlers.
class MainWindow : public QWidget, public FormControls {
public:
    MainWindow(ASEMEM& library, AppFolders folders, DriveSource drives = MountedDrives);

    frmOstrivan& Form() { return form_; }

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
    void PaintList() override;
    void AddLine(std::string_view text, LineKind kind) override;
    int LineCount() const override;
    void RemoveFirstLine() override;
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

private:
    frmOstrivan form_;

    void BuildControls();
    void ConnectHandlers();
    QLineEdit* Box(TextBox box) const;
};
