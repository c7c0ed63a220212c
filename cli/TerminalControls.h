#pragma once

#include "form/FormControls.h"

#include <string>

// The form's controls on a terminal, for a program that has no window: status lines go to
// standard error as UTF-8 (block dumps only when asked for; a progress line in their place on
// a terminal), a question is answered by --yes or on the terminal; the companion has no text
// boxes, drives or folders to show.
class TerminalControls : public FormControls {
public:
    struct Choices {
        bool verbose = false; // show the block dump lines
        bool yes = false;     // answer every question with OK
    };

    explicit TerminalControls(Choices choices);

    // Takes the progress line off the terminal.
    void EndProgress();

    std::string Text(TextBox) const override { return {}; }
    std::optional<char32_t> Unstorable(TextBox) const override { return std::nullopt; }
    void SetText(TextBox, std::string_view) override {}
    std::string ReaderText() const override { return readerText_; }
    void SetReaderText(std::string_view text) override { readerText_ = text; }
    void AddReader(std::string_view) override {}
    void ClearReaders() override {}
    void ShowDrives(const std::vector<std::string>&, int) override {}
    int ShownDrive() const override { return -1; }
    void ShowDirectory(const std::vector<std::string>&, int) override {}
    void SetBusy(bool) override {}
    // The companion has nothing to keep live: the work runs where it is asked for.
    void RunOperation(std::function<void(OperationView)> work,
                      std::function<void()> ended) override {
        work({*this, *this});
        ended();
    }
    void AddLine(std::string_view text, LineKind kind) override;
    void ShowMessage(std::string_view, std::string_view, MessageIcon) override {}
    MessageAnswer AskOkCancel(std::string_view text, std::string_view caption,
                              MessageIcon icon) override;

private:
    Choices choices_;
    bool terminal_; // standard error is a terminal
    std::string readerText_;
    int blocks_ = 0;
    bool progressShown_ = false;

    void Print(std::string_view text);
};
