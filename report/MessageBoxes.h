#pragma once

#include <string_view>

enum class MessageIcon { None, Warning, Critical };
enum class MessageAnswer { Ok, Cancel };

// Modal message boxes of the window. Texts are code-page bytes.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // A box with an OK button only; returns once it is closed.
    virtual void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) = 0;
    // A box with OK and Cancel, OK the default; closing it otherwise counts as Cancel.
    virtual MessageAnswer AskOkCancel(std::string_view text, std::string_view caption,
                                      MessageIcon icon) = 0;
};
