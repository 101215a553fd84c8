#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>

#include "app/UiMainWindow.h"
#include "base/AppValues.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogListModel.h"
#include "catalog/UiRowListView.h"
#include "platform/Colors.h"
#include "platform/Twips.h"
#include "settings/SettingKeys.h"
#include "settings/Settings.h"

// The main window's look and its stored layout: what UiMainWindow paints and what it reads from
// the settings at load and writes back at close.

namespace bravel {
namespace {

constexpr int kDesignWidthTwips = 9345;
constexpr int kDesignHeightTwips = 5700;
constexpr int kMinimumWidthTwips = 9890;

void setColours(QWidget* widget, qint64 back, qint64 fore) {
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, colorFromBgr(back));
    colours.setColor(QPalette::Button, colorFromBgr(back));
    colours.setColor(QPalette::Base, colorFromBgr(back));
    colours.setColor(QPalette::WindowText, colorFromBgr(fore));
    colours.setColor(QPalette::ButtonText, colorFromBgr(fore));
    colours.setColor(QPalette::Text, colorFromBgr(fore));
    widget->setPalette(colours);
    widget->setAutoFillBackground(true);
}

void setEnabled(std::initializer_list<QAction*> actions, bool enabled) {
    for (QAction* action : actions) action->setEnabled(enabled);
}

void setEnabled(std::initializer_list<QWidget*> widgets, bool enabled) {
    for (QWidget* widget : widgets) widget->setEnabled(enabled);
}

// The font, text colour and background colour keys of the menu labels, Programm first.
using MenuLabelKeys = std::array<std::array<SettingKey, 3>, 4>;
MenuLabelKeys menuLabelKeys() {
    return {{
        {keys::main_mnu_app_font, keys::main_mnu_app_fontcolor, keys::main_mnu_app_backcolor},
        {keys::main_mnu_file_font, keys::main_mnu_file_fontcolor, keys::main_mnu_file_backcolor},
        {keys::main_mnu_fileedit_font, keys::main_mnu_fileedit_fontcolor,
         keys::main_mnu_fileedit_backcolor},
        {keys::main_mnu_fileaction_font, keys::main_mnu_fileaction_fontcolor,
         keys::main_mnu_fileaction_backcolor},
    }};
}

}  // namespace

// ---- look ------------------------------------------------------------------------------------

std::array<QLabel*, 4> UiMainWindow::menuLabelsByStyle() const {
    return {lbl_mnu_Programm, lbl_mnu_Katalog, lbl_mnu_Bearbeiten, lbl_mnu_Ausfuehren};
}

void UiMainWindow::paintMenuLabel(QLabel* label, const MenuLabelStyle& style) {
    QFont font = label->font();
    font.setFamily(style.font);
    label->setFont(font);
    setColours(label, style.backColor, style.foreColor);
}

void UiMainWindow::paintCaptionColours() {
    for (QLabel* label : {lbl_caption, lbl_lstoverlay, lbl_mnu_System, lbl_mnu_SystemResize,
                          lbl_mnu_SystemMinimize})
        setColours(label, gCaptionBackColor, gCaptionForeColor);
    for (QLabel* label : {lbl_RecordCount, lbl_MultiProgressTitel, lbl_status}) {
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, colorFromBgr(gCaptionBackColor));
        label->setPalette(colours);
    }
}

void UiMainWindow::paintList(qint64 listColor) {
    QPalette colours = lst_Files->palette();
    colours.setColor(QPalette::Base, colorFromBgr(listColor));
    colours.setColor(QPalette::Text, colorFromBgr(gCaptionForeColor));
    lst_Files->setPalette(colours);
}

void UiMainWindow::paintButtons(qint64 buttonsColor) {
    for (QWidget* widget : window_->findChildren<QPushButton*>()) {
        QPalette buttonColours = widget->palette();
        buttonColours.setColor(QPalette::Button, colorFromBgr(buttonsColor));
        widget->setPalette(buttonColours);
    }
}

void UiMainWindow::showListGrid(bool on) {
    look_.gridLines = on;
    but_ChangeListGrid->setChecked(on);
    // A new style sheet puts back the palettes of its first polish; the list keeps its colours.
    const QColor listBack = lst_Files->palette().color(QPalette::Base);
    const QColor listText = lst_Files->palette().color(QPalette::Text);
    // With an item rule the style sheet draws selected rows too, so it names their colours.
    lst_Files->setStyleSheet(
        on ? QStringLiteral("QTreeView::item { border-right: 1px solid #d0d0d0; "
                            "border-bottom: 1px solid #d0d0d0; }"
                            "QTreeView::item:selected { background: #3060c0; color: white; }")
           : QString());
    for (QWidget* widget : {static_cast<QWidget*>(lst_Files), lst_Files->viewport()}) {
        QPalette colours = widget->palette();
        colours.setColor(QPalette::Base, listBack);
        colours.setColor(QPalette::Text, listText);
        widget->setPalette(colours);
    }
}

void UiMainWindow::showControlStates(const ControlStates& states) {
    const bool running = !states.idle;
    setEnabled({but_Cancel, chk_pause}, running);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{lbl_MultiProgressTitel, pan_progress, lbl_MultiProgress})
        widget->setVisible(running);
    setEnabled({but_ChangeListView, but_DB, but_DBNew, but_setup, but_info, but_web, but_exit},
               states.idle);
    const bool catalogCommands = states.catalogOpen && states.idle;
    chk_CheckItem->setEnabled(catalogCommands);
    chk_CheckItem->setChecked(states.allRowsSelected);
    setEnabled({but_SetAutostart, txt_Suche, chk_SearchInAllCols}, catalogCommands);
    // Adding, changing and removing entries write the catalog.
    const bool writable = !states.catalogReadOnly;
    but_source->setEnabled(catalogCommands && writable);
    const bool selectionCommands = states.hasSelection && states.idle;
    setEnabled({but_Edit, but_delete}, selectionCommands && writable);
    but_Start->setEnabled(selectionCommands);

    setEnabled({mnu_fileactionpause, mnu_fileactionstop}, running);
    setEnabled(
        {mnu_apperror, mnu_appinfo, mnu_appnetupdate, mnu_appsetup, mnu_filenew, mnu_fileopen},
        states.idle);
    for (QAction* entry : mnu_filerecent) entry->setEnabled(states.idle);
    setEnabled({mnu_fileAutoStart, mnu_filerefresh, mnu_fileschedule}, catalogCommands);
    mnu_fileeditadd->setEnabled(catalogCommands && writable);
    setEnabled({mnu_fileeditedit, mnu_fileeditdelete}, selectionCommands && writable);
    // A restore writes files, never the catalog.
    mnu_restore->setEnabled(states.oneRowSelected && states.idle);
    // Both file deletions work on the selected rows, never during a run.
    setEnabled({mnu_filedelete, mnu_fileEXTdelete, mnu_delfile, mnu_delfileEXT, mnu_fileactionstart,
                mnu_fileactionstartallattr, mnu_fileexport},
               selectionCommands);
}

void UiMainWindow::showRecentCaptions(const std::array<QString, 9>& captions) {
    bool any = false;
    for (size_t i = 0; i < captions.size(); ++i) {
        mnu_filerecent[i]->setText(captions[i]);
        mnu_filerecent[i]->setVisible(!captions[i].isEmpty());
        any = any || !captions[i].isEmpty();
    }
    mnu_filebar4->setVisible(any);
}

bool UiMainWindow::placeRowProgress(const QRect& cell) {
    pan_SingleProgress->setValue(0);
    lbl_SingleProgress->clear();
    if (!cell.isValid() || !lst_Files->viewport()->rect().contains(cell.center())) return false;
    const int labelWidth = twipsToPixels(480);
    const int barWidth = std::max(20, lst_Files->columnWidth(0) - twipsToPixels(990));
    pan_SingleProgress->setGeometry(cell.left() + twipsToPixels(260), cell.top(), barWidth,
                                    cell.height());
    lbl_SingleProgress->setGeometry(pan_SingleProgress->geometry().right() + 1, cell.top(),
                                    labelWidth, cell.height());
    return true;
}

void UiMainWindow::showCancelLook(CancelLook look) {
    if (look == CancelLook::Waiting) {
        but_Cancel->setIcon(QIcon());
        but_Cancel->setText(QStringLiteral("Abschluss abwarten..."));
        but_Cancel->setFixedWidth(twipsToPixels(2325));
        return;
    }
    but_Cancel->setText(QString());
    but_Cancel->setIcon(QIcon::fromTheme(QStringLiteral("process-stop"),
                                         window_->style()->standardIcon(QStyle::SP_BrowserStop)));
    but_Cancel->setMinimumWidth(0);
    but_Cancel->setMaximumWidth(QWIDGETSIZE_MAX);
}

// ---- stored layout -------------------------------------------------------------------------

void UiMainWindow::restoreWindowGeometry() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const double screenWidth = pixelsToTwips(screen.width());
    const double screenHeight = pixelsToTwips(screen.height());
    const int centreLeft = static_cast<int>((screenWidth - kDesignWidthTwips) / 2);
    const int centreTop = static_cast<int>((screenHeight - kDesignHeightTwips) / 2);
    const double left = readNumber(keys::main_left, QString::number(centreLeft));
    const double top = readNumber(keys::main_top, QString::number(centreTop));
    const double width = readNumber(keys::main_width);
    const double height = readNumber(keys::main_height);
    if (width >= screenWidth && height >= screenHeight) {
        window_->setGeometry(twipsToPixels(centreLeft), twipsToPixels(centreTop),
                             twipsToPixels(kDesignWidthTwips), twipsToPixels(kDesignHeightTwips));
        window_->setWindowState(window_->windowState() | Qt::WindowMaximized);
        return;
    }
    window_->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                         twipsToPixels(height));
}

void UiMainWindow::keepMinimumSize() {
    // The window system keeps to it while the user pulls an edge.
    window_->setMinimumSize(twipsToPixels(kMinimumWidthTwips), twipsToPixels(kDesignHeightTwips));
}

void UiMainWindow::readMenuLabelLooks() {
    const MenuLabelKeys menuKeys = menuLabelKeys();
    const std::array<QLabel*, 4> labels = menuLabelsByStyle();
    for (size_t i = 0; i < labels.size(); ++i) {
        MenuLabelStyle& style = look_.menuLabels[i];
        style.font = readText(menuKeys[i][0]);
        readInteger(menuKeys[i][1], style.foreColor);
        readInteger(menuKeys[i][2], style.backColor);
        paintMenuLabel(labels[i], style);
    }
}

void UiMainWindow::readListLooks() {
    bool grid = true;
    if (readBool(keys::lst_grid, grid)) showListGrid(grid);
    readInteger(keys::lst_view, look_.viewMode);
    readInteger(keys::lst_color, look_.listColor);
    paintList(look_.listColor);
    readInteger(keys::main_buttons_backcolor, look_.buttonsColor);
    paintButtons(look_.buttonsColor);
}

void UiMainWindow::restoreColumns(CatalogController& controller) {
    std::array<double, 7> widths{};
    for (int c = 1; c <= 7; ++c)
        widths[static_cast<size_t>(c - 1)] = static_cast<int>(readNumber(keys::columnWidthKey(c)));
    controller.createColumns(widths);
    controller.model().setHeaderPictures(headerPictureList());
    for (int c = 0; c < col::kFixedColumns; ++c)
        lst_Files->setColumnWidth(c, twipsToPixels(c < 7 ? widths[static_cast<size_t>(c)] : 0));
    lst_Files->header()->setSectionHidden(col::kId, true);
    lst_Files->header()->setSectionHidden(col::kHostStatus, true);
    mSetColumnOrder(readText(keys::ColumnOrder));
}

QString UiMainWindow::mGetColumnOrder() const {
    QStringList positions;
    for (int c = 0; c < lst_Files->model()->columnCount(); ++c)
        positions << QString::number(lst_Files->header()->visualIndex(c));
    return positions.join(QLatin1Char(';'));
}

void UiMainWindow::mSetColumnOrder(const QString& order) {
    if (order.isEmpty()) return;
    const QStringList parts = order.split(QLatin1Char(';'));
    QHeaderView* header = lst_Files->header();
    for (int c = 0; c < col::kFixedColumns && c < parts.size(); ++c) {
        bool ok = false;
        const int position = parts[c].trimmed().toInt(&ok);
        if (!ok || position < 0 || position >= header->count()) return;
        header->moveSection(header->visualIndex(c), position);
    }
}

void UiMainWindow::saveLayoutAndLooks() const {
    const QRect frame = window_->geometry();
    writeSetting(keys::main_left, static_cast<qint64>(pixelsToTwips(frame.x())));
    writeSetting(keys::main_top, static_cast<qint64>(pixelsToTwips(frame.y())));
    writeSetting(keys::main_width, static_cast<qint64>(pixelsToTwips(frame.width())));
    writeSetting(keys::main_height, static_cast<qint64>(pixelsToTwips(frame.height())));
    const MenuLabelKeys menuKeys = menuLabelKeys();
    const std::array<QLabel*, 4> labels = menuLabelsByStyle();
    for (size_t i = 0; i < labels.size(); ++i) {
        const QPalette& colours = labels[i]->palette();
        writeSetting(menuKeys[i][0], labels[i]->font().family().trimmed());
        writeSetting(menuKeys[i][1],
                     static_cast<qint64>(bgrFromColor(colours.color(QPalette::WindowText))));
        writeSetting(menuKeys[i][2],
                     static_cast<qint64>(bgrFromColor(colours.color(QPalette::Window))));
    }
    writeSetting(keys::main_lbl_caption_backcolor, gCaptionBackColor);
    writeSetting(keys::main_lbl_caption_forecolor, gCaptionForeColor);
    writeSetting(keys::main_buttons_backcolor,
                 static_cast<qint64>(bgrFromColor(but_DB->palette().color(QPalette::Button))));
    for (int c = 1; c <= 7; ++c)
        writeSetting(keys::columnWidthKey(c),
                     static_cast<qint64>(pixelsToTwips(lst_Files->columnWidth(c - 1))));
    writeSetting(keys::ColumnOrder, mGetColumnOrder());
    writeCheckBox(keys::lst_grid, look_.gridLines);
    writeSetting(keys::lst_view, static_cast<qint64>(look_.viewMode));
    writeSetting(keys::lst_color, look_.listColor);
    writeCheckBox(keys::lst_fullrowselect,
                  lst_Files->selectionBehavior() == QAbstractItemView::SelectRows);
}

}  // namespace bravel
