#pragma once

#include "card/RecordAssembler.h"
#include "reader/CardExchange.h"
#include "report/StatusReport.h"
#include "settings/registry_mdl.h"
#include "ui/AppFolders.h"
#include "ui/DriveList.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <memory>

class DirectoryList;

// The one window of the program. It owns the state the commands share (the card image, the
// row being assembled) and shows the status list and the message boxes the system speaks
// through.
class frmOstrivan : public QWidget, public StatusList, public MessageBoxes, public ReaderChoice {
public:
    frmOstrivan(ASEMEM& library, AppFolders folders, DriveList::VolumeSource volumes = UserVolumes,
                QWidget* parent = nullptr);
    ~frmOstrivan() override;

    void Form_Load();

    void cmdReadCard_Click();
    void cmdClearCard_Click();
    void DriveListBox_Change();
    void TextFarmName_Change();
    void TextPICId_Change();

    // StatusList
    void AddLine(std::string_view text) override;
    int LineCount() const override;
    void RemoveFirstLine() override;
    // MessageBoxes
    void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) override;
    MessageAnswer AskOkCancel(std::string_view text, std::string_view caption,
                              MessageIcon icon) override;
    // ReaderChoice
    std::string ReaderNameText() const override;

    QPushButton* cmdClearCard;
    QComboBox* cmbReaderNames;
    QLineEdit* TextFileName;
    DriveList* DriveListBox;
    QListWidget* ListStatus;
    DirectoryList* DirListBox;
    QPushButton* cmdReadCard;
    QLineEdit* TextPICId;
    QLineEdit* TextFarmName;

private:
    ASEMEM& library_;
    AppFolders folders_;
    Registry registry_;
    registry_mdl settings_;
    StatusReport report_;
    RecordAssembler assembler_;
    std::unique_ptr<CardBuffer> cardBuffer_;
    std::int32_t cardBytesRead_ = 0;

    void BuildControls();
    void ConnectHandlers();
    // Runs a handler body; a run-time error is reported with the handler's label.
    void Trap(const char* label, const std::function<void()>& body);
    std::int32_t RunExchange(ExchangeMode mode);

    SettingValue Load(std::string_view name);
    void Save(std::string_view name, const SettingValue& value, std::uint32_t type);
    void WriteFirstRunSettings();
    // The folder start-up shows: "File Path", or the data folder when it is empty or unusable.
    QString StartFolder();
    // The reader list into the reader box; false when it is too long for the window.
    bool ListReaders();
};
