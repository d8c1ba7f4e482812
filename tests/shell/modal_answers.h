// Answers the modal dialogs of a window test as they open, one step each,
// in order. A step may open another dialog, which the next step answers
// meanwhile. A dialog left over when the steps run out is cancelled, so a
// test never hangs on a window nobody answers.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <set>
#include <vector>

namespace kinolux::testing {

class ModalAnswers {
public:
    using Step = std::function<void(QWidget* dialog)>;
    explicit ModalAnswers(std::vector<Step> steps) : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
        timer_.start(5);
    }
    size_t Answered() const { return next_; }
    bool Overrun() const { return overrun_; }

private:
    void Tick() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || busy_.contains(modal)) return;
        if (next_ >= steps_.size()) {
            overrun_ = true;
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            return;
        }
        busy_.insert(modal);
        // The step runs from a timer of its own: a timer whose slot is still
        // running (inside a dialog the step opened) does not fire again.
        QTimer::singleShot(0, [this, modal, step = steps_[next_++]] {
            step(modal);
            busy_.erase(modal);
        });
    }

    std::vector<Step> steps_;
    size_t next_ = 0;
    bool overrun_ = false;
    std::set<QWidget*> busy_;
    QTimer timer_;
};

}  // namespace kinolux::testing
