#pragma once

#include <QPoint>

class QEvent;
class QWidget;

namespace bravel {

// Moves a frameless window by one of its labels: the window system moves it where it can
// (QWindow::startSystemMove), otherwise the label's mouse events move it by hand.
class UiWindowDrag {
public:
    explicit UiWindowDrag(QWidget* window) : window_(window) {}

    // Feeds a mouse event of a drag handle. True when the event was part of a drag: a left press
    // always is, a move or release only while a manual drag runs.
    bool handle(QWidget* handle, QEvent* event);

private:
    QWidget* window_;
    bool dragging_ = false;
    QPoint offset_;
};

}  // namespace bravel
