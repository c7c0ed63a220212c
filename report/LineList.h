#pragma once

#include <string_view>

// What a status line is, known where it is made: a view may show kinds apart.
enum class LineKind {
    Status,    // a step, an error, a hint, a summary
    BlockDump, // the dump of a card block's first bytes, one for every block read
};

// Where status lines go, as the reporting procedures see it: the window's status list
// (ListStatus), or the companion's terminal. Texts are code-page bytes.
class LineList {
public:
    virtual ~LineList() = default;

    // Adds the line at the end, scrolls it into view and leaves no line selected.
    virtual void AddLine(std::string_view text, LineKind kind) = 0;
    virtual int LineCount() const = 0;
    virtual void RemoveFirstLine() = 0;
};
