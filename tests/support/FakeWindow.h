#pragma once

#include "report/MessageBoxes.h"
#include "report/StatusList.h"

#include <deque>
#include <string>
#include <vector>

class FakeStatusList : public StatusList {
public:
    std::deque<std::string> lines;

    void AddLine(std::string_view text) override { lines.emplace_back(text); }
    int LineCount() const override { return static_cast<int>(lines.size()); }
    void RemoveFirstLine() override { lines.pop_front(); }
};

class FakeMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        std::string text;
        std::string caption;
        MessageIcon icon;
        bool question;
    };
    std::vector<Shown> shown;
    MessageAnswer answer = MessageAnswer::Ok;

    void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) override {
        shown.push_back({std::string(text), std::string(caption), icon, false});
    }
    MessageAnswer AskOkCancel(std::string_view text, std::string_view caption,
                              MessageIcon icon) override {
        shown.push_back({std::string(text), std::string(caption), icon, true});
        return answer;
    }
};
