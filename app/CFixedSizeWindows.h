// SPDX-License-Identifier: Apache-2.0
// Keeps every fixed-size window of the program (the main window, its dialogs, the message boxes)
// at its size in its normal state: a maximise or full-screen request, from a title bar's button,
// a window manager's key or the compositor, is undone at once.
//
// Under Wayland a window that the compositor has told to be maximised or full screen must take
// the size it was given, or the compositor ends the connection and the program with it, losing
// the user's edits. There the window system is therefore allowed to make a fixed-size window
// larger for that moment (the controls stay where they are), and the window comes back to its
// own size with its normal state; a resize by dragging an edge is undone the same way. The way
// back is asked only when the compositor has answered every state request (two requests that
// cross would otherwise leave it with a full-screen state of no size), and the size is set again
// only after the compositor has said the state is normal.
#pragma once

#include <QObject>

class QWidget;

namespace vellmark {

class CFixedSizeWindows : public QObject {
public:
    // Watches every window of the application from now on.
    explicit CFixedSizeWindows(QObject* parent = nullptr);
    ~CFixedSizeWindows() override;

    // Whether the window has a fixed size (its smallest and largest sizes are one).
    static bool IsFixed(const QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Loosen(QWidget& window);
};

} // namespace vellmark
