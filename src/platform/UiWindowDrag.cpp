#include "platform/UiWindowDrag.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace bravel {

QHBoxLayout* captionBar(QLabel* caption, std::initializer_list<QLabel*> buttons) {
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(caption, 1);
    for (QLabel* button : buttons) row->addWidget(button);
    return row;
}

bool UiWindowDrag::handle(QWidget* handle, QEvent* event) {
    auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (!mouse) return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            if (mouse->button() != Qt::LeftButton) return false;
            QWindow* native = window_->windowHandle();
            dragging_ = !(native && native->startSystemMove());
            offset_ = mouse->globalPosition().toPoint() - window_->pos();
            if (dragging_) handle->setCursor(Qt::SizeAllCursor);
            return true;
        }
        case QEvent::MouseMove:
            if (dragging_) window_->move(mouse->globalPosition().toPoint() - offset_);
            return dragging_;
        case QEvent::MouseButtonRelease: {
            const bool wasDragging = dragging_;
            if (dragging_) handle->unsetCursor();
            dragging_ = false;
            return wasDragging;
        }
        default:
            return false;
    }
}

}  // namespace bravel
