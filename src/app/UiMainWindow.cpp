#include "app/UiMainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "app/UiWebBrowser.h"
#include "base/AppValues.h"
#include "catalog/UiRowListView.h"
#include "listtools/ListSearch.h"
#include "platform/Colors.h"
#include "platform/Twips.h"

namespace bravel {
namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text = QString()) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QAction* addEntry(QMenu* menu, const char* name, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction* addSeparator(QMenu* menu, const char* name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QString::fromLatin1(name));
    return separator;
}

QMenu* addSubMenu(QMenu* menu, const char* name, const QString& title) {
    QMenu* subMenu = menu->addMenu(title);
    subMenu->menuAction()->setObjectName(QString::fromLatin1(name));
    return subMenu;
}

QMenu* makeMenu(QWidget* parent, const char* name) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

}  // namespace

void UiMainWindow::setupUi(QWidget* window, CatalogListModel& list, QObject* inputFilter) {
    window_ = window;
    buildCaptionAndMenuLabels();
    buildButtons();
    buildListAndProgress(list);
    buildMenus();
    layOutControls();
    buildShortcutButtons();
    buildContextMenu();
    lst_Files->installEventFilter(inputFilter);
    lst_Files->viewport()->installEventFilter(inputFilter);
}

// ---- controls ------------------------------------------------------------------------------

QPushButton* UiMainWindow::makeButton(const char* name, const QString& toolTip,
                                      const QString& iconName) {
    auto* button = new QPushButton(window_);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(toolTip);
    if (!iconName.isEmpty()) button->setIcon(QIcon::fromTheme(iconName));
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

void UiMainWindow::buildCaptionAndMenuLabels() {
    lbl_caption = makeLabel(window_, "lbl_caption");
    lbl_mnu_SystemMinimize = makeLabel(window_, "lbl_mnu_SystemMinimize", QStringLiteral(" _ "));
    lbl_mnu_SystemMinimize->setToolTip(QStringLiteral("Programm minimieren"));
    lbl_mnu_SystemResize = makeLabel(window_, "lbl_mnu_SystemResize", QStringLiteral(" □ "));
    lbl_mnu_SystemResize->setToolTip(QStringLiteral("Programm maximieren"));
    lbl_mnu_System = makeLabel(window_, "lbl_mnu_System", QStringLiteral(" ✕ "));
    lbl_mnu_System->setToolTip(QStringLiteral("Programm verlassen (ESC)"));
    lbl_mnu_Katalog = makeLabel(window_, "lbl_mnu_Katalog", QStringLiteral("Katalog"));
    lbl_mnu_Katalog->setToolTip(QStringLiteral("(Alt-K)"));
    lbl_mnu_Bearbeiten = makeLabel(window_, "lbl_mnu_Bearbeiten", QStringLiteral("Bearbeiten"));
    lbl_mnu_Bearbeiten->setToolTip(QStringLiteral("(Alt-B)"));
    lbl_mnu_Ausfuehren = makeLabel(window_, "lbl_mnu_Ausfuehren", QStringLiteral("Ausführen"));
    lbl_mnu_Ausfuehren->setToolTip(QStringLiteral("(Alt-A)"));
    lbl_mnu_Programm = makeLabel(window_, "lbl_mnu_Programm", QStringLiteral("Programm"));
    lbl_mnu_Programm->setToolTip(QStringLiteral("(Alt-M)"));
    for (QLabel* label :
         {lbl_mnu_Katalog, lbl_mnu_Bearbeiten, lbl_mnu_Ausfuehren, lbl_mnu_Programm})
        label->setContentsMargins(8, 2, 8, 2);
    lbl_RecordCount = makeLabel(window_, "lbl_RecordCount");
}

void UiMainWindow::buildButtons() {
    but_DBNew = makeButton("but_DBNew", QStringLiteral("Neuen Katalog anlegen (Alt-N)"),
                           QStringLiteral("document-new"));
    but_DB = makeButton("but_DB", QStringLiteral("bestehenden Katalog öffnen (Alt-F)"),
                        QStringLiteral("document-open"));
    but_source = makeButton("but_source", QStringLiteral("Datei hinzufügen (Alt-D)"),
                            QStringLiteral("list-add"));
    but_Edit = makeButton("but_Edit", QStringLiteral("Eintrag ändern (Alt-E)"),
                          QStringLiteral("document-properties"));
    but_delete = makeButton("but_delete", QStringLiteral("Eintrag löschen (Alt-L)"),
                            QStringLiteral("list-remove"));
    but_Start = makeButton(
        "but_Start", QStringLiteral("Sicherung der markierten Einträge starten (Alt-R: sichern)"),
        QStringLiteral("media-playback-start"));
    but_Cancel =
        makeButton("but_Cancel", QStringLiteral("Vorgang abbrechen (ESC) (nur wenn aktiv)"),
                   QStringLiteral("process-stop"));
    but_setup =
        makeButton("but_setup", QStringLiteral("Setup"), QStringLiteral("preferences-system"));
    but_info = makeButton("but_info", QStringLiteral("Information"), QStringLiteral("help-about"));
    but_web = makeButton("but_web", QString(), QStringLiteral("internet-web-browser"));
    but_web->setCheckable(true);
    but_exit = makeButton("but_exit", QStringLiteral("Programm verlassen (ESC)"),
                          QStringLiteral("application-exit"));
    but_SetAutostart = makeButton(
        "but_SetAutostart",
        QStringLiteral("geöffneten Katalog als Autostart-Standard setzen (wie im Fenster 'Setup')"),
        QStringLiteral("go-home"));
    but_ChangeListView = makeButton("but_ChangeListView", QStringLiteral("Listenansicht ändern"),
                                    QStringLiteral("view-list-details"));
    but_ChangeListGrid =
        makeButton("but_ChangeListGrid", QStringLiteral("Gitternetzlinien ein- ausschalten"),
                   QStringLiteral("view-grid"));
    but_ChangeListGrid->setCheckable(true);
    // Fallback pictures where the desktop has no icon theme.
    const std::pair<QPushButton*, QStyle::StandardPixmap> fallbacks[] = {
        {but_DBNew, QStyle::SP_FileIcon},
        {but_DB, QStyle::SP_DialogOpenButton},
        {but_source, QStyle::SP_FileDialogNewFolder},
        {but_Edit, QStyle::SP_FileDialogDetailedView},
        {but_delete, QStyle::SP_TrashIcon},
        {but_Start, QStyle::SP_MediaPlay},
        {but_Cancel, QStyle::SP_BrowserStop},
        {but_setup, QStyle::SP_FileDialogContentsView},
        {but_info, QStyle::SP_MessageBoxInformation},
        {but_web, QStyle::SP_DriveNetIcon},
        {but_exit, QStyle::SP_DialogCloseButton},
        {but_SetAutostart, QStyle::SP_DirHomeIcon},
        {but_ChangeListView, QStyle::SP_FileDialogListView},
        {but_ChangeListGrid, QStyle::SP_FileDialogDetailedView}};
    for (const auto& [button, pixmap] : fallbacks)
        if (button->icon().isNull()) button->setIcon(window_->style()->standardIcon(pixmap));

    but_shortcut_run = new QPushButton(QStringLiteral("&r"), window_);
    but_shortcut_run->setObjectName(QStringLiteral("but_shortcut_run"));
    but_shortcut_run->setFixedSize(0, 0);

    chk_pause = new QCheckBox(window_);
    chk_pause->setObjectName(QStringLiteral("chk_pause"));
    chk_pause->setToolTip(QStringLiteral("Pause ein- ausschalten"));
    chk_CheckItem = new QCheckBox(window_);
    chk_CheckItem->setObjectName(QStringLiteral("chk_CheckItem"));
    chk_CheckItem->setToolTip(QStringLiteral("Select all / Deselect all"));
    txt_Suche = new QLineEdit(window_);
    txt_Suche->setObjectName(QStringLiteral("txt_Suche"));
    txt_Suche->setText(searchPlaceholder());
    lbl_shortcut_txtsuchtext = makeLabel(window_, "lbl_shortcut_txtsuchtext", QStringLiteral("&S"));
    lbl_shortcut_txtsuchtext->setBuddy(txt_Suche);
    lbl_shortcut_txtsuchtext->setFixedSize(0, 0);  // only its access key counts
    chk_SearchInAllCols = new QCheckBox(window_);
    chk_SearchInAllCols->setObjectName(QStringLiteral("chk_SearchInAllCols"));
}

void UiMainWindow::buildListAndProgress(CatalogListModel& list) {
    lst_Files = new UiRowListView(window_);
    lst_Files->setObjectName(QStringLiteral("lst_Files"));
    lst_Files->setRootIsDecorated(false);
    lst_Files->setUniformRowHeights(true);
    lst_Files->setSelectionMode(QAbstractItemView::MultiSelection);
    lst_Files->setSelectionBehavior(QAbstractItemView::SelectRows);
    lst_Files->showList(list);
    lst_Files->header()->setSectionsMovable(true);
    lst_Files->header()->setSectionsClickable(true);
    lst_Files->header()->setStretchLastSection(false);

    WebBrowser1 = new UiWebBrowser(window_);
    lbl_lstoverlay = makeLabel(lst_Files, "lbl_lstoverlay");
    lbl_lstoverlay->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pan_SingleProgress = new QProgressBar(lst_Files->viewport());
    pan_SingleProgress->setObjectName(QStringLiteral("pan_SingleProgress"));
    pan_SingleProgress->setRange(0, 100);
    pan_SingleProgress->hide();
    lbl_SingleProgress = makeLabel(lst_Files->viewport(), "lbl_SingleProgress");
    lbl_SingleProgress->hide();
    pan_progress = new QProgressBar(window_);
    pan_progress->setObjectName(QStringLiteral("pan_progress"));
    pan_progress->setRange(0, 100);
    pan_progress->setValue(0);

    lbl_Eingangsdatei = makeLabel(window_, "lbl_Eingangsdatei");
    lbl_Sicherungsverzeichnis = makeLabel(window_, "lbl_Sicherungsverzeichnis");
    lbl_MultiProgressTitel =
        makeLabel(window_, "lbl_MultiProgressTitel", QStringLiteral("Gesamt:"));
    lbl_MultiProgress = makeLabel(window_, "lbl_MultiProgress");
    lbl_status = makeLabel(window_, "lbl_status");
    lbl_status->setFrameShape(QFrame::NoFrame);
}

std::map<QString, QIcon> UiMainWindow::headerPictureList() const {
    const QStyle* pictures = window_->style();
    return {{QStringLiteral("table"), pictures->standardIcon(QStyle::SP_FileDialogDetailedView)},
            {QStringLiteral("field"), pictures->standardIcon(QStyle::SP_FileIcon)},
            {QStringLiteral("prop"), pictures->standardIcon(QStyle::SP_FileDialogInfoView)},
            {QStringLiteral("clock"), pictures->standardIcon(QStyle::SP_BrowserReload)},
            {QStringLiteral("status"), pictures->standardIcon(QStyle::SP_FileDialogContentsView)},
            {QStringLiteral("pc"), pictures->standardIcon(QStyle::SP_ComputerIcon)}};
}

// ---- menus ---------------------------------------------------------------------------------

void UiMainWindow::buildCatalogMenu() {
    mnu_file = makeMenu(window_, "mnu_file");
    mnu_file->setTitle(QStringLiteral("Katalog"));
    mnu_filenew = addEntry(mnu_file, "mnu_filenew", QStringLiteral("Neu (Alt-N)"));
    mnu_fileopen = addEntry(mnu_file, "mnu_fileopen", QStringLiteral("Öffnen (Alt-F)"));
    mnu_filerefresh = addEntry(mnu_file, "mnu_filerefresh", QStringLiteral("Aktualisieren"));
    addSeparator(mnu_file, "mnu_filebar1");
    QMenu* exportMenu =
        addSubMenu(mnu_file, "mnu_fileexport", QStringLiteral("Exportiere Selektion"));
    mnu_fileexport = exportMenu->menuAction();
    mnu_fileexportclipboard =
        addEntry(exportMenu, "mnu_fileexportclipboard", QStringLiteral("... in Zwischenablage"));
    mnu_fileexportascii =
        addEntry(exportMenu, "mnu_fileexportascii", QStringLiteral("... in Textdatei"));
    mnu_fileexporthtm =
        addEntry(exportMenu, "mnu_fileexporthtm", QStringLiteral("... in HTML-Datei"));
    addSeparator(mnu_file, "mnu_filebar2");
    mnu_fileAutoStart =
        addEntry(mnu_file, "mnu_fileAutoStart", QStringLiteral("Als Autostart festlegen"));
    mnu_fileschedule = addEntry(mnu_file, "mnu_fileschedule", QStringLiteral("Zeitplan..."));
    mnu_filebar4 = addSeparator(mnu_file, "mnu_filebar4");
    for (size_t i = 0; i < mnu_filerecent.size(); ++i) {
        mnu_filerecent[i] = mnu_file->addAction(QString());
        mnu_filerecent[i]->setObjectName(QStringLiteral("mnu_filerecent%1").arg(i + 1));
        mnu_filerecent[i]->setVisible(false);
    }
    addSeparator(mnu_file, "mnu_filebar5");
    mnu_appexit = addEntry(mnu_file, "mnu_appexit", QStringLiteral("Beenden (ESC)"));
}

void UiMainWindow::buildMenus() {
    buildCatalogMenu();

    mnu_fileedit = makeMenu(window_, "mnu_fileedit");
    mnu_fileeditadd =
        addEntry(mnu_fileedit, "mnu_fileeditadd", QStringLiteral("Datei hinzufügen (Alt-D)"));
    mnu_fileeditedit =
        addEntry(mnu_fileedit, "mnu_fileeditedit", QStringLiteral("Eintrag ändern (Alt-E)"));
    mnu_fileeditdelete =
        addEntry(mnu_fileedit, "mnu_fileeditdelete", QStringLiteral("Eintrag löschen (Alt-L)"));
    addSeparator(mnu_fileedit, "mnu_fileeditbar1");
    mnu_filedelete =
        addEntry(mnu_fileedit, "mnu_filedelete", QStringLiteral("Lokale Datei löschen"));
    mnu_fileEXTdelete =
        addEntry(mnu_fileedit, "mnu_fileEXTdelete", QStringLiteral("Original-Datei löschen"));
    addSeparator(mnu_fileedit, "mnu_fileeditbar2");
    mnu_restore = addEntry(mnu_fileedit, "mnu_restore", QStringLiteral("Wiederherstellen…"));

    mnu_fileaction = makeMenu(window_, "mnu_fileaction");
    mnu_fileactionstart = addEntry(mnu_fileaction, "mnu_fileactionstart",
                                   QStringLiteral("Sicherung starten [Archiv-Bit] (Alt-R)"));
    QFont bold = mnu_fileactionstart->font();
    bold.setBold(true);
    mnu_fileactionstart->setFont(bold);
    mnu_fileaction->setDefaultAction(mnu_fileactionstart);
    mnu_fileactionstartallattr = addEntry(mnu_fileaction, "mnu_fileactionstartallattr",
                                          QStringLiteral("Sicherung starten [Original Attribute]"));
    mnu_fileactionpause = addEntry(mnu_fileaction, "mnu_fileactionpause", QStringLiteral("Pause"));
    mnu_fileactionpause->setCheckable(true);
    mnu_fileactionstop = addEntry(mnu_fileaction, "mnu_fileactionstop",
                                  QStringLiteral("Vorgang abbrechen (ESC) (nur wenn aktiv)"));

    mnu_app = makeMenu(window_, "mnu_app");
    mnu_appsetup = addEntry(mnu_app, "mnu_appsetup", QStringLiteral("Setup"));
    mnu_apperror = addEntry(mnu_app, "mnu_apperror", QStringLiteral("Fehlerstack"));
    mnu_applastlog = addEntry(mnu_app, "mnu_applastlog", QStringLiteral("Letztes Protokoll"));
    mnu_appwebupdate = addEntry(mnu_app, "mnu_appwebupdate", QStringLiteral("Internetupdate"));
    mnu_appnetupdate = addEntry(mnu_app, "mnu_appnetupdate", QStringLiteral("Netzwerkupate"));
    mnu_appinfo = addEntry(mnu_app, "mnu_appinfo", QStringLiteral("Information"));
    mnu_apphelp = addEntry(mnu_app, "mnu_apphelp", QStringLiteral("Hilfe"));
}

void UiMainWindow::buildContextMenu() {
    menu = makeMenu(window_, "menu");
    QMenu* edit = addSubMenu(menu, "mnu_bear", QStringLiteral("Bearbeiten"));
    mnu_bear = edit->menuAction();
    mnu_bear_add = addEntry(edit, "mnu_bear_add", QStringLiteral("Datei hinzufügen (Alt-D)"));
    mnu_bear_edit = addEntry(edit, "mnu_bear_edit", QStringLiteral("Eintrag ändern (Alt-E)"));
    mnu_bear_del = addEntry(edit, "mnu_bear_del", QStringLiteral("Eintrag löschen (Alt-L)"));
    edit->addSeparator();
    mnu_delfile = addEntry(edit, "mnu_delfile", QStringLiteral("Lokale Datei löschen"));
    mnu_delfileEXT = addEntry(edit, "mnu_delfileEXT", QStringLiteral("Original-Datei löschen"));
    edit->addSeparator();
    edit->addAction(mnu_restore);
    QMenu* run = addSubMenu(menu, "mnu_ausf", QStringLiteral("Ausführen"));
    mnu_ausf = run->menuAction();
    mnu_ausf_start =
        addEntry(run, "mnu_ausf_start", QStringLiteral("Sicherung starten [Archiv-Bit] (Alt-R)"));
    mnu_ausf_startattr = addEntry(run, "mnu_ausf_startattr",
                                  QStringLiteral("Sicherung starten [Original Attribute]"));
}

QPushButton* UiMainWindow::makeShortcutButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, window_);
    button->setObjectName(QString::fromUtf8(name));
    button->setFixedSize(0, 0);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

void UiMainWindow::buildShortcutButtons() {
    but_shortcut_neu = makeShortcutButton("but_shortcut_neu", QStringLiteral("&n"));
    but_shortcut_oeffnen = makeShortcutButton("but_shortcut_öffnen", QStringLiteral("&f"));
    but_shortcut_dazu = makeShortcutButton("but_shortcut_dazu", QStringLiteral("&d"));
    but_shortcut_andern = makeShortcutButton("but_shortcut_andern", QStringLiteral("&e"));
    but_shortcut_del = makeShortcutButton("but_shortcut_del", QStringLiteral("&l"));
    but_shortcut_pause2 = makeShortcutButton("but_shortcut_pause2", QStringLiteral("&p"));
    but_mnu_KatalogHover = makeShortcutButton("but_mnu_KatalogHover", QStringLiteral("&k"));
    but_mnu_BearbeitenHover = makeShortcutButton("but_mnu_BearbeitenHover", QStringLiteral("&b"));
    but_mnu_AusfuehrenHover = makeShortcutButton("but_mnu_AusfuehrenHover", QStringLiteral("&a"));
    but_mnu_ProgrammHover = makeShortcutButton("but_mnu_ProgrammHover", QStringLiteral("&m"));
}

// ---- layout --------------------------------------------------------------------------------

void UiMainWindow::layOutControls() {
    auto* root = new QVBoxLayout(window_);
    root->setContentsMargins(kResizeBorder, kResizeBorder, kResizeBorder, kResizeBorder);
    root->setSpacing(2);

    auto* captionRow = new QHBoxLayout;
    captionRow->addWidget(lbl_caption, 1);
    captionRow->addWidget(lbl_mnu_SystemMinimize);
    captionRow->addWidget(lbl_mnu_SystemResize);
    captionRow->addWidget(lbl_mnu_System);
    root->addLayout(captionRow);

    auto* menuRow = new QHBoxLayout;
    menuRow->setSpacing(0);
    for (QLabel* label :
         {lbl_mnu_Katalog, lbl_mnu_Bearbeiten, lbl_mnu_Ausfuehren, lbl_mnu_Programm})
        menuRow->addWidget(label);
    menuRow->addStretch(1);
    menuRow->addWidget(lbl_RecordCount);
    root->addLayout(menuRow);

    auto* buttonRow = new QHBoxLayout;
    for (QWidget* widget : std::initializer_list<QWidget*>{
             but_DBNew, but_DB, but_source, but_Edit, but_delete, but_Start, but_Cancel, chk_pause,
             chk_CheckItem, but_ChangeListView, but_ChangeListGrid, but_SetAutostart, but_setup,
             but_info, but_web, but_exit})
        buttonRow->addWidget(widget);
    buttonRow->addStretch(1);
    buttonRow->addWidget(txt_Suche);
    buttonRow->addWidget(chk_SearchInAllCols);
    buttonRow->addWidget(but_shortcut_run);
    buttonRow->addWidget(lbl_shortcut_txtsuchtext);
    root->addLayout(buttonRow);

    root->addWidget(lst_Files, 1);
    root->addWidget(WebBrowser1, 1);
    root->addWidget(lbl_Eingangsdatei);
    root->addWidget(lbl_Sicherungsverzeichnis);

    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(lbl_MultiProgressTitel);
    progressRow->addWidget(pan_progress, 1);
    progressRow->addWidget(lbl_MultiProgress);
    root->addLayout(progressRow);
    root->addWidget(lbl_status);

    // Texts that change during a run must not lay the whole window out again each time.
    for (QLabel* label : {lbl_caption, lbl_status, lbl_Eingangsdatei, lbl_Sicherungsverzeichnis})
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    lbl_MultiProgress->setFixedWidth(
        lbl_MultiProgress->fontMetrics().horizontalAdvance(QStringLiteral("0000%")));
}

void UiMainWindow::openMenuBelow(QLabel* label) {
    QMenu* dropDown = label == lbl_mnu_Katalog      ? mnu_file
                      : label == lbl_mnu_Bearbeiten ? mnu_fileedit
                      : label == lbl_mnu_Ausfuehren ? mnu_fileaction
                                                    : mnu_app;
    dropDown->popup(label->mapToGlobal(QPoint(0, label->height())));
}

}  // namespace bravel
