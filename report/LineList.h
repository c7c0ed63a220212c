#pragma once

#include <cstdint>
#include <string_view>

// What a status line is, known where it is made: a view may show kinds apart.
enum class LineKind {
    Status,    // a step, an error, a hint, a summary
    BlockDump, // the dump of a card block's first bytes, one for every block read
};

// What progress counts: a read's blocks, or a format's steps.
enum class ProgressOf { Blocks, Steps };

// Where status lines go, as the reporting procedures see it: the window's status list
// (ListStatus), or the companion's terminal. Texts are code-page bytes.
class LineList {
public:
    virtual ~LineList() = default;

    // Adds the line at the end, scrolls it into view and leaves no line selected.
    virtual void AddLine(std::string_view text, LineKind kind) = 0;
    // How far the operation under way has got: done of at most total; nothing where progress
    // is not shown.
    virtual void ShowProgress(ProgressOf, std::int32_t /*done*/, std::int32_t /*total*/) {}
};
