#pragma once

#include <string_view>

// The window's status list, as the reporting procedures see it. Texts are code-page bytes.
class StatusList {
public:
    virtual ~StatusList() = default;

    // Adds the line at the end, scrolls it into view and leaves no line selected.
    virtual void AddLine(std::string_view text) = 0;
    virtual int LineCount() const = 0;
    virtual void RemoveFirstLine() = 0;
};
