#include "platform/UiWindowResize.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace bravel {
namespace {

// How far from a corner a press on an edge still takes the corner: the border alone is too
// small a target for a corner.
constexpr int kCornerReach = 16;

Qt::CursorShape pointerFor(Qt::Edges edges) {
    if (edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge))
        return Qt::SizeFDiagCursor;
    if (edges == (Qt::TopEdge | Qt::RightEdge) || edges == (Qt::BottomEdge | Qt::LeftEdge))
        return Qt::SizeBDiagCursor;
    if (edges & (Qt::LeftEdge | Qt::RightEdge)) return Qt::SizeHorCursor;
    return Qt::SizeVerCursor;
}

// One axis of the manual resize: the moving edge follows the mouse, the opposite edge stays,
// and the length keeps to the window's minimum and maximum.
void moveEdge(int& low, int& high, int delta, bool movesLow, bool movesHigh, int minimum,
              int maximum) {
    if (movesLow) low = std::clamp(low + delta, high - maximum + 1, high - minimum + 1);
    if (movesHigh) high = std::clamp(high + delta, low + minimum - 1, low + maximum - 1);
}

}  // namespace

std::function<bool(QWindow*, Qt::Edges)> UiWindowResize::systemResize =
    [](QWindow* window, Qt::Edges edges) { return window && window->startSystemResize(edges); };

UiWindowResize::UiWindowResize(QWidget* window, int border)
    : QObject(window), window_(window), border_(border) {
    for (QWidget*& grip : grips_) {
        grip = new QWidget(window);
        grip->setObjectName(QStringLiteral("resize_grip"));
        grip->setMouseTracking(true);
        grip->installEventFilter(this);
    }
    window->installEventFilter(this);
    placeGrips();
}

Qt::Edges UiWindowResize::edgesAt(const QPoint& pos) const {
    const int w = window_->width();
    const int h = window_->height();
    Qt::Edges edges;
    if (pos.x() < border_) edges |= Qt::LeftEdge;
    if (pos.x() >= w - border_) edges |= Qt::RightEdge;
    if (pos.y() < border_) edges |= Qt::TopEdge;
    if (pos.y() >= h - border_) edges |= Qt::BottomEdge;
    if (!edges) return edges;
    if (edges & (Qt::LeftEdge | Qt::RightEdge)) {
        if (pos.y() < kCornerReach) edges |= Qt::TopEdge;
        if (pos.y() >= h - kCornerReach) edges |= Qt::BottomEdge;
    }
    if (edges & (Qt::TopEdge | Qt::BottomEdge)) {
        if (pos.x() < kCornerReach) edges |= Qt::LeftEdge;
        if (pos.x() >= w - kCornerReach) edges |= Qt::RightEdge;
    }
    return edges;
}

bool UiWindowResize::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        if (event->type() == QEvent::Resize || event->type() == QEvent::WindowStateChange)
            placeGrips();
        return false;
    }
    auto* grip = qobject_cast<QWidget*>(watched);
    auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (!grip || !mouse || std::find(grips_.begin(), grips_.end(), grip) == grips_.end())
        return false;
    return gripEvent(grip, mouse);
}

bool UiWindowResize::gripEvent(QWidget* grip, QMouseEvent* event) {
    const QPoint pos = grip->mapTo(window_, event->position().toPoint());
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            return event->button() == Qt::LeftButton &&
                   start(pos, event->globalPosition().toPoint());
        case QEvent::MouseMove:
            if (edges_)
                resizeByHand(event->globalPosition().toPoint());
            else if (const Qt::Edges edges = edgesAt(pos))
                grip->setCursor(pointerFor(edges));
            return true;
        case QEvent::MouseButtonRelease:
            edges_ = {};
            return true;
        default:
            return false;
    }
}

bool UiWindowResize::start(const QPoint& pos, const QPoint& globalPos) {
    const Qt::Edges edges = edgesAt(pos);
    if (!edges) return false;
    if (systemResize(window_->windowHandle(), edges)) return true;
    edges_ = edges;
    startGeometry_ = window_->geometry();
    startGlobal_ = globalPos;
    return true;
}

void UiWindowResize::resizeByHand(const QPoint& globalPos) {
    const QPoint delta = globalPos - startGlobal_;
    int left = startGeometry_.left();
    int right = startGeometry_.right();
    int top = startGeometry_.top();
    int bottom = startGeometry_.bottom();
    moveEdge(left, right, delta.x(), edges_ & Qt::LeftEdge, edges_ & Qt::RightEdge,
             window_->minimumWidth(), window_->maximumWidth());
    moveEdge(top, bottom, delta.y(), edges_ & Qt::TopEdge, edges_ & Qt::BottomEdge,
             window_->minimumHeight(), window_->maximumHeight());
    window_->setGeometry(QRect(QPoint(left, top), QPoint(right, bottom)));
}

void UiWindowResize::placeGrips() {
    // A maximised or full-screen window has no edges to pull.
    const bool sizable = !(window_->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
    const int w = window_->width();
    const int h = window_->height();
    const QRect places[] = {{0, 0, w, border_},
                            {0, h - border_, w, border_},
                            {0, 0, border_, h},
                            {w - border_, 0, border_, h}};
    for (size_t i = 0; i < grips_.size(); ++i) {
        grips_[i]->setGeometry(places[i]);
        grips_[i]->setVisible(sizable);
        grips_[i]->raise();
    }
}

}  // namespace bravel
