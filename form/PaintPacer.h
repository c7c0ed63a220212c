#pragma once

#include "form/FormControls.h"

#include <chrono>

// Decides when the status list is painted, standing between the reports and the controls. A
// command holds the window's one thread, so nothing paints unless asked: a new line is painted
// when the last paint is about 30 ms old (the operator sees a long read go by without a paint
// per line), and whatever is not painted yet is painted before a box, before a card wait and
// when a handler ends.
class PaintPacer : public LineList, public MessageBoxes {
public:
    explicit PaintPacer(FormControls& controls) : controls_(controls) {}

    void AddLine(std::string_view text, LineKind kind) override;
    int LineCount() const override { return controls_.LineCount(); }
    void RemoveFirstLine() override;
    void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) override;
    MessageAnswer AskOkCancel(std::string_view text, std::string_view caption,
                              MessageIcon icon) override;

    // Paints what is not painted yet.
    void Paint();

private:
    using Clock = std::chrono::steady_clock;
    static constexpr auto PaintInterval = std::chrono::milliseconds(30);

    FormControls& controls_;
    Clock::time_point lastPaint_{};
    bool unpainted_ = false;
};
