#pragma once

#include "report/LineList.h"
#include "report/MessageBoxes.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TextBox { FarmName, PICId, FileName };

// The window's controls as the form reaches them; every text is code-page bytes. Setting a
// text box runs its change handler, as typing does; nothing else the form sets runs one.
// A status line is added to the list at once, but shows only when the list is painted.
class FormControls : public LineList, public MessageBoxes {
public:
    // Paints the status list now, scrolled to its newest line, with no line selected.
    virtual void PaintList() = 0;

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

    // The busy cursor, shown while a command runs.
    virtual void SetBusy(bool busy) = 0;
};
