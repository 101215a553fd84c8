#include "app/UiMainSetup.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

#include "app/ApplySetup.h"
#include "app/frm_main.h"
#include "base/AppValues.h"
#include "base/Prog.h"
#include "catalog/CatalogController.h"
#include "platform/Colors.h"
#include "settings/frm_setup.h"

namespace bravel {

namespace {

QLabel* menuLabel(const frm_main& window, MenuLabel label) {
    switch (label) {
        case MenuLabel::Programm:
            return window.lbl_mnu_Programm;
        case MenuLabel::Katalog:
            return window.lbl_mnu_Katalog;
        case MenuLabel::Bearbeiten:
            return window.lbl_mnu_Bearbeiten;
        case MenuLabel::Ausfuehren:
            return window.lbl_mnu_Ausfuehren;
    }
    return window.lbl_mnu_Programm;
}

void setColour(QWidget* widget, std::initializer_list<QPalette::ColorRole> roles, qint64 bgr) {
    QPalette colours = widget->palette();
    for (QPalette::ColorRole role : roles) colours.setColor(role, colorFromBgr(bgr));
    widget->setPalette(colours);
}

void setTextColour(QWidget* widget, qint64 bgr) {
    setColour(widget, {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}, bgr);
}

void setBackColour(QWidget* widget, qint64 bgr) {
    setColour(widget, {QPalette::Window, QPalette::Button, QPalette::Base}, bgr);
    widget->setAutoFillBackground(true);
}

// The controls of the main window itself: the windows it owns (the setup window among them)
// are its children too, but keep their own look.
template <typename Control>
QList<Control*> ownControls(frm_main& window) {
    QList<Control*> controls;
    for (Control* control : window.findChildren<Control*>())
        if (control->window() == &window) controls << control;
    return controls;
}

// The command buttons and check boxes that take the button colour.
QList<QWidget*> commandControls(frm_main& window) {
    QList<QWidget*> controls;
    for (QPushButton* button : ownControls<QPushButton>(window)) controls << button;
    for (QCheckBox* box : ownControls<QCheckBox>(window))
        if (box != window.chk_SearchInAllCols) controls << box;
    return controls;
}

}  // namespace

BaselineAppearance MainAppearance::baseline() const {
    return window_.loadedAppearance();
}

void MainAppearance::setBaseline(const BaselineAppearance& baseline) {
    window_.setLoadedAppearance(baseline);
}

MenuLabelLook MainAppearance::menuLabelLook(MenuLabel label) const {
    const QLabel* widget = menuLabel(window_, label);
    MenuLabelLook look;
    look.font = widget->font().family();
    look.foreColor = bgrFromColor(widget->palette().color(QPalette::WindowText));
    look.backColor = bgrFromColor(widget->palette().color(QPalette::Window));
    return look;
}

void MainAppearance::setMenuLabelFont(MenuLabel label, const QString& family) {
    QLabel* widget = menuLabel(window_, label);
    QFont font = widget->font();
    font.setFamily(family);
    widget->setFont(font);
}

void MainAppearance::setMenuLabelForeColor(MenuLabel label, qint64 bgr) {
    setTextColour(menuLabel(window_, label), bgr);
}

void MainAppearance::setMenuLabelBackColor(MenuLabel label, qint64 bgr) {
    setBackColour(menuLabel(window_, label), bgr);
}

void MainAppearance::lineUpMenuLabels() {
    // The menu row lays the labels out side by side from the left; each takes its text's size.
    for (MenuLabel label :
         {MenuLabel::Katalog, MenuLabel::Bearbeiten, MenuLabel::Ausfuehren, MenuLabel::Programm}) {
        QLabel* widget = menuLabel(window_, label);
        widget->setFixedWidth(widget->sizeHint().width());
        widget->updateGeometry();
    }
}

void MainAppearance::applyCaptionColors() {
    for (QLabel* label : {window_.lbl_caption, window_.lbl_mnu_System, window_.lbl_mnu_SystemResize,
                          window_.lbl_mnu_SystemMinimize}) {
        setBackColour(label, gCaptionBackColor);
        setTextColour(label, gCaptionForeColor);
    }
    // The count, the run title and the status line write in the caption colour on the window's
    // background; once a scheme has painted them in the caption colour, they write in the caption
    // text colour, as the caption does.
    for (QLabel* label :
         {window_.lbl_RecordCount, window_.lbl_MultiProgressTitel, window_.lbl_status}) {
        if (!label->autoFillBackground()) {
            setColour(label, {QPalette::WindowText}, gCaptionBackColor);
            continue;
        }
        setBackColour(label, gCaptionBackColor);
        setTextColour(label, gCaptionForeColor);
    }
}

qint64 MainAppearance::listColor() const {
    return bgrFromColor(window_.lst_Files->palette().color(QPalette::Base));
}

void MainAppearance::setListColor(qint64 bgr) {
    setColour(window_.lst_Files, {QPalette::Base}, bgr);
    // Under the grid's style sheet the viewport holds a palette of its own from the first show on.
    setColour(window_.lst_Files->viewport(), {QPalette::Base}, bgr);
    window_.lst_Files->viewport()->update();
    setBackColour(window_.lbl_lstoverlay, bgr);
    setTextColour(window_.lbl_lstoverlay, gCaptionForeColor);
}

qint64 MainAppearance::buttonsColor() const {
    return bgrFromColor(window_.but_DB->palette().color(QPalette::Button));
}

void MainAppearance::setButtonsColor(qint64 bgr) {
    for (QWidget* control : commandControls(window_)) setColour(control, {QPalette::Button}, bgr);
}

void MainAppearance::applySchemeToControls(qint64 back, qint64 fore) {
    setButtonsColor(back);
    for (QLabel* label : ownControls<QLabel>(window_)) {
        setBackColour(label, back);
        setTextColour(label, fore);
    }
}

bool MainAppearance::fullRowSelect() const {
    return window_.lst_Files->selectionBehavior() == QAbstractItemView::SelectRows;
}

void MainAppearance::setFullRowSelect(bool on) {
    window_.lst_Files->setSelectionBehavior(on ? QAbstractItemView::SelectRows
                                               : QAbstractItemView::SelectItems);
    window_.lst_Files->viewport()->update();
}

void MainAppearance::fitListColumns() {
    window_.autoSizeColumns();
}

void MainAppearance::focusNewEntryShortcut() {
    if (auto* shortcut = window_.findChild<QWidget*>(QStringLiteral("but_shortcut_neu")))
        shortcut->setFocus();
}

void but_setup_Click(frm_main& window) {
    window.controller().stopTimers();
    MainAppearance target(window);
    QString result;
    {
        frm_setup setup(target, &window);
        setup.exec();
        result = setup.resultText();
    }
    gBusyOn();
    applySetupResult(result, target, window.controller());
}

}  // namespace bravel
