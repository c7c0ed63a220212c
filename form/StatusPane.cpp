#include "form/StatusPane.h"

void StatusPane::AddLine(std::string_view text) {
    controls_.AddLine(text);
    unpainted_ = true;
    if (Clock::now() - lastPaint_ >= PaintInterval) {
        Paint();
    }
}

void StatusPane::RemoveFirstLine() {
    controls_.RemoveFirstLine();
    unpainted_ = true;
}

void StatusPane::ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) {
    Paint();
    controls_.ShowMessage(text, caption, icon);
}

MessageAnswer StatusPane::AskOkCancel(std::string_view text, std::string_view caption,
                                      MessageIcon icon) {
    Paint();
    return controls_.AskOkCancel(text, caption, icon);
}

void StatusPane::Paint() {
    if (unpainted_) {
        controls_.PaintStatus();
        unpainted_ = false;
        lastPaint_ = Clock::now();
    }
}
