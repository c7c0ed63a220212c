#include "form/PaintPacer.h"

void PaintPacer::AddLine(std::string_view text, LineKind kind) {
    controls_.AddLine(text, kind);
    unpainted_ = true;
    if (Clock::now() - lastPaint_ >= PaintInterval) {
        Paint();
    }
}

void PaintPacer::RemoveFirstLine() {
    controls_.RemoveFirstLine();
    unpainted_ = true;
}

void PaintPacer::ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) {
    Paint();
    controls_.ShowMessage(text, caption, icon);
}

MessageAnswer PaintPacer::AskOkCancel(std::string_view text, std::string_view caption,
                                      MessageIcon icon) {
    Paint();
    return controls_.AskOkCancel(text, caption, icon);
}

void PaintPacer::Paint() {
    if (unpainted_) {
        controls_.PaintList();
        unpainted_ = false;
        lastPaint_ = Clock::now();
    }
}
