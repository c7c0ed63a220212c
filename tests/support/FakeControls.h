#pragma once

#include "form/FormControls.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

// The window's controls in memory: everything the form shows is kept, questions are answered
// as a test tells, and a text set by the form runs the change handler as the window's does.
// An operation runs where it is started, and is over when the command returns.
class FakeControls : public FormControls {
public:
    struct Box {
        std::string text;
        std::string caption;
        MessageIcon icon;
        bool question;
        std::size_t after; // lines in the list when it showed
    };

    std::deque<std::string> lines;
    std::vector<Box> boxes;
    MessageAnswer answer = MessageAnswer::Ok;
    std::map<TextBox, std::string> texts = {{TextBox::FileName, "data"}};
    std::map<TextBox, char32_t> unstorable; // as the window's box would tell
    std::function<void(TextBox)> changed = [](TextBox) {};
    std::string readerText;
    std::vector<std::string> readers;
    std::vector<std::string> drives;
    int shownDrive = -1;
    std::vector<std::string> directory;
    int currentEntry = -1;
    std::vector<bool> busy; // every change, in order

    std::string Text(TextBox box) const override { return texts.at(box); }
    std::optional<char32_t> Unstorable(TextBox box) const override {
        const auto found = unstorable.find(box);
        return found == unstorable.end() ? std::nullopt : std::optional(found->second);
    }
    void SetText(TextBox box, std::string_view text) override {
        if (texts[box] != text) {
            texts[box] = text;
            changed(box);
        }
    }
    std::string ReaderText() const override { return readerText; }
    void SetReaderText(std::string_view text) override { readerText = text; }
    void AddReader(std::string_view name) override { readers.emplace_back(name); }
    void ClearReaders() override { readers.clear(); }
    void ShowDrives(const std::vector<std::string>& list, int shown) override {
        drives = list;
        shownDrive = shown;
    }
    int ShownDrive() const override { return shownDrive; }
    void ShowDirectory(const std::vector<std::string>& entries, int current) override {
        directory = entries;
        currentEntry = current;
    }
    void SetBusy(bool on) override { busy.push_back(on); }
    void RunOperation(std::function<void(OperationView)> work,
                      std::function<void()> ended) override {
        work({*this, *this});
        ended();
    }
    void AddLine(std::string_view text, LineKind) override { lines.emplace_back(text); }
    void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) override {
        boxes.push_back({std::string(text), std::string(caption), icon, false, lines.size()});
    }
    MessageAnswer AskOkCancel(std::string_view text, std::string_view caption,
                              MessageIcon icon) override {
        boxes.push_back({std::string(text), std::string(caption), icon, true, lines.size()});
        return answer;
    }
};
