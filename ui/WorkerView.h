#pragma once

#include "report/LineList.h"
#include "report/MessageBoxes.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <variant>

class QObject;

// The lines, progress and boxes of an operation running in a worker, brought to the window's
// thread in the order the worker makes them: each is queued, and the window takes what is
// queued whenever its event loop comes round. A box holds the worker until it is answered on
// the window's thread, as a box holds the command that showed it. Once the window closes,
// boxes are answered at once (Cancel) and lines go nowhere.
class WorkerView : public LineList, public MessageBoxes {
public:
    // What the window does with what comes, on its own thread.
    struct Window {
        std::function<void(std::string_view text, LineKind kind)> addLine;
        std::function<void(ProgressOf what, std::int32_t done, std::int32_t total)> showProgress;
        std::function<MessageAnswer(std::string_view text, std::string_view caption,
                                    MessageIcon icon, bool question)>
            showBox;
        std::function<void()> ended; // after the operation's last line
    };

    WorkerView(QObject& receiver, Window window);

    void AddLine(std::string_view text, LineKind kind) override;
    void ShowProgress(ProgressOf what, std::int32_t done, std::int32_t total) override;
    void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) override;
    MessageAnswer AskOkCancel(std::string_view text, std::string_view caption,
                              MessageIcon icon) override;
    // The worker's last word: the window runs its ended once it has taken all before.
    void Ended();
    // The window is closing: nothing more is shown, and no box holds the worker.
    void Close();

private:
    struct Line {
        std::string text;
        LineKind kind;
    };
    struct Progress {
        ProgressOf what;
        std::int32_t done, total;
    };
    struct Box {
        std::string text, caption;
        MessageIcon icon;
        bool question;
        std::promise<MessageAnswer> answer;
    };
    struct End {};
    using Item = std::variant<Line, Progress, Box, End>;

    QObject& receiver_;
    Window window_;
    std::mutex mutex_;
    std::deque<Item> queued_;
    bool closed_ = false;

    void Queue(Item item);
    MessageAnswer Ask(std::string_view text, std::string_view caption, MessageIcon icon,
                      bool question);
    // On the window's thread: shows what is queued, in order.
    void Take();
};
