#pragma once

#include "report/LineList.h"
#include "report/MessageBoxes.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TextBox { FarmName, PICId, FileName };

// What an operation's worker reaches of the controls: the status list and the boxes, in the
// order the worker shows them; a box's answer comes back to the worker.
struct OperationView {
    LineList& lines;
    MessageBoxes& boxes;
};

// The window's controls as the form reaches them; every text is code-page bytes. Setting a
// text box runs its change handler, as typing does; nothing else the form sets runs one.
class FormControls : public LineList, public MessageBoxes {
public:
    virtual std::string Text(TextBox box) const = 0;
    // The first character of the box's text that the code page cannot hold (Text shows it as
    // '?'); none when it holds them all.
    virtual std::optional<char32_t> Unstorable(TextBox box) const = 0;
    virtual void SetText(TextBox box, std::string_view text) = 0;

    // The reader box: its text, typed or chosen, and the names listed in it.
    virtual std::string ReaderText() const = 0;
    virtual void SetReaderText(std::string_view text) = 0;
    virtual void AddReader(std::string_view name) = 0;
    virtual void ClearReaders() = 0;

    // The drive list and the entry it shows (-1: none).
    virtual void ShowDrives(const std::vector<std::string>& drives, int shown) = 0;
    virtual int ShownDrive() const = 0;

    // The directory list, with the entry of the current folder marked.
    virtual void ShowDirectory(const std::vector<std::string>& entries, int current) = 0;

    // While a command runs: the busy cursor, the commands and the controls whose values it
    // uses locked, Cancel offered.
    virtual void SetBusy(bool busy) = 0;

    // Runs an operation's work apart from the controls, which stay live meanwhile, handing it
    // the view it shows its lines and boxes through; then runs ended on the controls' thread.
    // One at a time.
    virtual void RunOperation(std::function<void(OperationView)> work,
                              std::function<void()> ended) = 0;
};
