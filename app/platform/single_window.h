#pragma once

#include <QPointer>
#include <QWidget>

// A window that exists at most once: a command that opens it shows the one
// already open, and makes a new one only when there is none.
template <typename Window>
class SingleWindow {
public:
    // The open window, or null. A closed window waiting for its deferred
    // deletion is no longer open.
    Window *get() const { return window_ && !window_->isHidden() ? window_.data() : nullptr; }

    // The open window, or a new one from `make` (which builds it with its
    // load step). Either way it is shown and brought to the front.
    template <typename Make>
    Window &show(Make make)
    {
        if (!get()) {
            window_ = make();
            window_->setAttribute(Qt::WA_DeleteOnClose);
        }
        window_->show();
        window_->raise();
        window_->activateWindow();
        return *window_;
    }

    // Deletes the open window at once, without its unload step.
    void discard() { delete window_.data(); }

private:
    QPointer<Window> window_;
};
