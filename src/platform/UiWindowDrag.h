#pragma once

#include <QPoint>
#include <initializer_list>

class QEvent;
class QHBoxLayout;
class QLabel;
class QWidget;

namespace bravel {

// The caption bar of a frameless window: the caption takes the width, its buttons (labels with
// pictures) follow at the right without gaps.
QHBoxLayout* captionBar(QLabel* caption, std::initializer_list<QLabel*> buttons);

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
