#include "app/UiMainCaptionBar.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QWidget>

#include "app/UiMainWindow.h"
#include "listtools/frm_ToolTip.h"

namespace bravel {

UiMainCaptionBar::UiMainCaptionBar(QWidget* window, UiMainWindow& controls)
    : QObject(window), window_(window), controls_(controls), drag_(window) {
    for (QLabel* label :
         {controls.lbl_caption, controls.lbl_RecordCount, controls.lbl_lstoverlay,
          controls.lbl_mnu_Katalog, controls.lbl_mnu_Bearbeiten, controls.lbl_mnu_Ausfuehren,
          controls.lbl_mnu_Programm, controls.lbl_mnu_System, controls.lbl_mnu_SystemResize,
          controls.lbl_mnu_SystemMinimize})
        label->installEventFilter(this);
}

bool UiMainCaptionBar::isDragHandle(const QObject* watched) const {
    return watched == controls_.lbl_caption || watched == controls_.lbl_RecordCount ||
           watched == controls_.lbl_lstoverlay;
}

bool UiMainCaptionBar::isMenuLabel(const QObject* watched) const {
    return watched == controls_.lbl_mnu_Katalog || watched == controls_.lbl_mnu_Bearbeiten ||
           watched == controls_.lbl_mnu_Ausfuehren || watched == controls_.lbl_mnu_Programm;
}

void UiMainCaptionBar::toggleMaximised() {
    window_->setWindowState(window_->windowState() ^ Qt::WindowMaximized);
}

bool UiMainCaptionBar::systemLabelClicked(const QObject* watched) {
    if (watched == controls_.lbl_mnu_System) {
        controls_.but_exit->click();
        return true;
    }
    if (watched == controls_.lbl_mnu_SystemMinimize) {
        window_->setWindowState(window_->windowState() | Qt::WindowMinimized);
        return true;
    }
    if (watched == controls_.lbl_mnu_SystemResize) {
        if (!window_->isMinimized()) toggleMaximised();
        return true;
    }
    return false;
}

bool UiMainCaptionBar::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress && isMenuLabel(watched)) {
        controls_.openMenuBelow(static_cast<QLabel*>(watched));
        return true;
    }
    if (isDragHandle(watched)) {
        if (type == QEvent::MouseButtonPress) frm_ToolTip::unload();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
            type == QEvent::MouseButtonRelease) {
            drag_.handle(static_cast<QWidget*>(watched), event);
            // A drag by the window system ends without a release reaching the overlay.
            const bool pressOrRelease = type != QEvent::MouseMove;
            if (pressOrRelease && watched == controls_.lbl_lstoverlay)
                controls_.but_DBNew->setFocus();
            return type == QEvent::MouseButtonPress;
        }
        if (type == QEvent::MouseButtonDblClick && watched != controls_.lbl_RecordCount) {
            toggleMaximised();
            return true;
        }
    }
    if (type == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        return systemLabelClicked(watched);
    return false;
}

}  // namespace bravel
