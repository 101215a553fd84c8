#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <array>
#include <functional>

class QMouseEvent;
class QWidget;
class QWindow;

namespace bravel {

// Resizes a frameless window by its edges and corners. Four thin, invisible strips lie along the
// window's edges above everything else and show the edge's pointer. A left press on one starts
// the window system's resize (QWindow::startSystemResize); where the window system has none,
// the window follows the mouse by hand.
class UiWindowResize : public QObject {
  public:
    UiWindowResize(QWidget* window, int border);

    // The edges that a point of the window lies on: none inside the border, and the two edges of
    // a corner near the ends of an edge.
    Qt::Edges edgesAt(const QPoint& pos) const;

    // Asks the window system to resize; true when it took the resize over. Tests replace it to
    // see the edges asked for.
    static std::function<bool(QWindow*, Qt::Edges)> systemResize;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool gripEvent(QWidget* grip, QMouseEvent* event);
    bool start(const QPoint& pos, const QPoint& globalPos);
    void resizeByHand(const QPoint& globalPos);
    void placeGrips();

    QWidget* window_;
    int border_;
    std::array<QWidget*, 4> grips_{};  // top, bottom, left, right
    Qt::Edges edges_;                  // of the manual resize in progress
    QRect startGeometry_;
    QPoint startGlobal_;
};

}  // namespace bravel
