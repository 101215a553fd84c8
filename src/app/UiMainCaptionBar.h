#pragma once

#include <QObject>

#include "platform/UiWindowDrag.h"

class QLabel;
class QWidget;

namespace bravel {

class UiMainWindow;

// The frameless main window's own caption bar: the caption, the record count and the list's
// overlay move the window and maximise it on a double click, the three system labels close,
// minimise and maximise it, and a press on a menu label opens its drop-down menu.
class UiMainCaptionBar : public QObject {
    Q_OBJECT
  public:
    // Watches the labels of controls on window, which owns the bar.
    UiMainCaptionBar(QWidget* window, UiMainWindow& controls);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool isDragHandle(const QObject* watched) const;
    bool isMenuLabel(const QObject* watched) const;
    // A left click on one of the three system labels.
    bool systemLabelClicked(const QObject* watched);
    void toggleMaximised();

    QWidget* window_;
    UiMainWindow& controls_;
    UiWindowDrag drag_;
};

}  // namespace bravel
