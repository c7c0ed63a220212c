#include "ui/WorkerView.h"

#include <QMetaObject>
#include <QObject>

WorkerView::WorkerView(QObject& receiver, Window window)
    : receiver_(receiver), window_(std::move(window)) {}

void WorkerView::Queue(Item item) {
    bool first = false;
    {
        const std::lock_guard lock(mutex_);
        if (closed_) {
            return;
        }
        first = queued_.empty();
        queued_.push_back(std::move(item));
    }
    // One call to take them all: lines that come faster than the window shows them are shown
    // together.
    if (first) {
        QMetaObject::invokeMethod(
            &receiver_, [this] { Take(); }, Qt::QueuedConnection);
    }
}

void WorkerView::AddLine(std::string_view text, LineKind kind) {
    Queue(Line{std::string(text), kind});
}

void WorkerView::ShowProgress(ProgressOf what, std::int32_t done, std::int32_t total) {
    Queue(Progress{what, done, total});
}

MessageAnswer WorkerView::Ask(std::string_view text, std::string_view caption, MessageIcon icon,
                              bool question) {
    Box box{std::string(text), std::string(caption), icon, question, {}};
    auto answer = box.answer.get_future();
    {
        const std::lock_guard lock(mutex_);
        if (closed_) {
            return MessageAnswer::Cancel;
        }
    }
    Queue(std::move(box));
    return answer.get();
}

void WorkerView::ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) {
    Ask(text, caption, icon, false);
}

MessageAnswer WorkerView::AskOkCancel(std::string_view text, std::string_view caption,
                                      MessageIcon icon) {
    return Ask(text, caption, icon, true);
}

void WorkerView::Ended() {
    Queue(End{});
}

void WorkerView::Close() {
    const std::lock_guard lock(mutex_);
    closed_ = true;
    for (Item& item : queued_) {
        if (Box* box = std::get_if<Box>(&item)) {
            box->answer.set_value(MessageAnswer::Cancel);
        }
    }
    queued_.clear();
}

void WorkerView::Take() {
    for (;;) {
        Item item;
        {
            const std::lock_guard lock(mutex_);
            if (queued_.empty()) {
                return;
            }
            item = std::move(queued_.front());
            queued_.pop_front();
        }
        if (const Line* line = std::get_if<Line>(&item)) {
            window_.addLine(line->text, line->kind);
        } else if (const Progress* progress = std::get_if<Progress>(&item)) {
            window_.showProgress(progress->what, progress->done, progress->total);
        } else if (Box* box = std::get_if<Box>(&item)) {
            box->answer.set_value(
                window_.showBox(box->text, box->caption, box->icon, box->question));
        } else {
            window_.ended();
        }
    }
}
