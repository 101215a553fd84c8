#include "app/frm_main.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>
#include <QTimer>
#include <QMouseEvent>
#include <QKeyEvent>

#include "app/AppValues.h"
#include "app/CommandLine.h"
#include "backup/BackupRun.h"
#include "backup/Prog.h"
#include "backup/UiProg.h"
#include "backup/Progress.h"
#include "backup/RunReport.h"
#include "backup/RunState.h"
#include "backup/frm_CommandStatus.h"
#include "backup/frm_restore.h"
#include "catalog/COLArchivFiles.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "catalog/EntryWriter.h"
#include "catalog/frm_choosedir.h"
#include "app/NetworkUpdate.h"
#include "app/UiWebBrowser.h"
#include "app/frm_info.h"
#include "app/frm_schedule.h"
#include "errors/COLError.h"
#include "errors/frm_ErrorList.h"
#include "listtools/ToolTipContent.h"
#include "listtools/frm_ToolTip.h"
#include "listtools/ListExport.h"
#include "listtools/ListSearch.h"
#include "listtools/UiSearchBox.h"
#include "platform/Colors.h"
#include "platform/DesktopNotification.h"
#include "platform/Dialogs.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"
#include "platform/Twips.h"
#include "platform/UiWindowResize.h"
#include "scan/frm_dscan.h"
#include "settings/SettingKeys.h"
#include "settings/DesktopIntegration.h"
#include "app/UiApplySetup.h"

namespace bravel {
namespace {

constexpr int kDesignWidthTwips = 9345;
constexpr int kDesignHeightTwips = 5700;
constexpr int kMinimumWidthTwips = 9890;
constexpr int kResizeBorder = 4;  // pixels along the edges that resize the frameless window

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

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text = QString()) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

}  // namespace

frm_main::frm_main(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frm_main"));
    setWindowTitle(gProductName);
    controller_ = std::make_unique<CatalogController>(*this, this);
    buildControls();
    buildMenus();
    layOutControls();
    buildShortcutButtons();
    buildContextMenu();
    connectCommands();
    connectEntryCommands();
    runView_ = new UiRunProgressView({lbl_status, pan_progress, lbl_MultiProgress, pan_SingleProgress, lbl_SingleProgress},
                                     {[this](int row) { lst_Files->scrollTo(controller_->model().index(row, 0)); },
                                      [this](int row) { placeRowProgress(row); },
                                      [this] {
                                          pan_SingleProgress->hide();
                                          lbl_SingleProgress->hide();
                                      }},
                                     this);
    new UiWindowResize(this, kResizeBorder);  // a child of the window, which owns it
}

frm_main::~frm_main() = default;

// ---- controls ------------------------------------------------------------------------------

QPushButton* frm_main::makeButton(const char* name, const QString& toolTip, const QString& iconName) {
    auto* button = new QPushButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(toolTip);
    if (!iconName.isEmpty()) button->setIcon(QIcon::fromTheme(iconName));
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

std::map<QString, QIcon> frm_main::headerPictureList() const {
    const QStyle* pictures = style();
    return {{QStringLiteral("table"), pictures->standardIcon(QStyle::SP_FileDialogDetailedView)},
            {QStringLiteral("field"), pictures->standardIcon(QStyle::SP_FileIcon)},
            {QStringLiteral("prop"), pictures->standardIcon(QStyle::SP_FileDialogInfoView)},
            {QStringLiteral("clock"), pictures->standardIcon(QStyle::SP_BrowserReload)},
            {QStringLiteral("status"), pictures->standardIcon(QStyle::SP_FileDialogContentsView)},
            {QStringLiteral("pc"), pictures->standardIcon(QStyle::SP_ComputerIcon)}};
}

void frm_main::buildControls() {
    lbl_caption = makeLabel(this, "lbl_caption");
    lbl_mnu_SystemMinimize = makeLabel(this, "lbl_mnu_SystemMinimize", QStringLiteral(" _ "));
    lbl_mnu_SystemMinimize->setToolTip(QStringLiteral("Programm minimieren"));
    lbl_mnu_SystemResize = makeLabel(this, "lbl_mnu_SystemResize", QStringLiteral(" □ "));
    lbl_mnu_SystemResize->setToolTip(QStringLiteral("Programm maximieren"));
    lbl_mnu_System = makeLabel(this, "lbl_mnu_System", QStringLiteral(" ✕ "));
    lbl_mnu_System->setToolTip(QStringLiteral("Programm verlassen (ESC)"));
    lbl_mnu_Katalog = makeLabel(this, "lbl_mnu_Katalog", QStringLiteral("Katalog"));
    lbl_mnu_Katalog->setToolTip(QStringLiteral("(Alt-K)"));
    lbl_mnu_Bearbeiten = makeLabel(this, "lbl_mnu_Bearbeiten", QStringLiteral("Bearbeiten"));
    lbl_mnu_Bearbeiten->setToolTip(QStringLiteral("(Alt-B)"));
    lbl_mnu_Ausfuehren = makeLabel(this, "lbl_mnu_Ausfuehren", QStringLiteral("Ausführen"));
    lbl_mnu_Ausfuehren->setToolTip(QStringLiteral("(Alt-A)"));
    lbl_mnu_Programm = makeLabel(this, "lbl_mnu_Programm", QStringLiteral("Programm"));
    lbl_mnu_Programm->setToolTip(QStringLiteral("(Alt-M)"));
    for (QLabel* label : {lbl_mnu_Katalog, lbl_mnu_Bearbeiten, lbl_mnu_Ausfuehren, lbl_mnu_Programm})
        label->setContentsMargins(8, 2, 8, 2);
    lbl_RecordCount = makeLabel(this, "lbl_RecordCount");
    lbl_Eingangsdatei = makeLabel(this, "lbl_Eingangsdatei");
    lbl_Sicherungsverzeichnis = makeLabel(this, "lbl_Sicherungsverzeichnis");
    lbl_MultiProgressTitel = makeLabel(this, "lbl_MultiProgressTitel", QStringLiteral("Gesamt:"));
    lbl_MultiProgress = makeLabel(this, "lbl_MultiProgress");
    lbl_status = makeLabel(this, "lbl_status");
    lbl_status->setFrameShape(QFrame::NoFrame);

    but_DBNew = makeButton("but_DBNew", QStringLiteral("Neuen Katalog anlegen (Alt-N)"), QStringLiteral("document-new"));
    but_DB = makeButton("but_DB", QStringLiteral("bestehenden Katalog öffnen (Alt-F)"), QStringLiteral("document-open"));
    but_source = makeButton("but_source", QStringLiteral("Datei hinzufügen (Alt-D)"), QStringLiteral("list-add"));
    but_Edit = makeButton("but_Edit", QStringLiteral("Eintrag ändern (Alt-E)"), QStringLiteral("document-properties"));
    but_delete = makeButton("but_delete", QStringLiteral("Eintrag löschen (Alt-L)"), QStringLiteral("list-remove"));
    but_Start = makeButton("but_Start", QStringLiteral("Sicherung der markierten Einträge starten (Alt-R: sichern)"),
                           QStringLiteral("media-playback-start"));
    but_Cancel = makeButton("but_Cancel", QStringLiteral("Vorgang abbrechen (ESC) (nur wenn aktiv)"),
                            QStringLiteral("process-stop"));
    but_setup = makeButton("but_setup", QStringLiteral("Setup"), QStringLiteral("preferences-system"));
    but_info = makeButton("but_info", QStringLiteral("Information"), QStringLiteral("help-about"));
    but_web = makeButton("but_web", QString(), QStringLiteral("internet-web-browser"));
    but_web->setCheckable(true);
    but_exit = makeButton("but_exit", QStringLiteral("Programm verlassen (ESC)"), QStringLiteral("application-exit"));
    but_SetAutostart = makeButton("but_SetAutostart",
                                  QStringLiteral("geöffneten Katalog als Autostart-Standard setzen (wie im Fenster 'Setup')"),
                                  QStringLiteral("go-home"));
    but_ChangeListView = makeButton("but_ChangeListView", QStringLiteral("Listenansicht ändern"),
                                    QStringLiteral("view-list-details"));
    but_ChangeListGrid = makeButton("but_ChangeListGrid", QStringLiteral("Gitternetzlinien ein- ausschalten"),
                                    QStringLiteral("view-grid"));
    but_ChangeListGrid->setCheckable(true);
    // Fallback pictures where the desktop has no icon theme.
    const std::pair<QPushButton*, QStyle::StandardPixmap> fallbacks[] = {
        {but_DBNew, QStyle::SP_FileIcon},          {but_DB, QStyle::SP_DialogOpenButton},
        {but_source, QStyle::SP_FileDialogNewFolder}, {but_Edit, QStyle::SP_FileDialogDetailedView},
        {but_delete, QStyle::SP_TrashIcon},        {but_Start, QStyle::SP_MediaPlay},
        {but_Cancel, QStyle::SP_BrowserStop},      {but_setup, QStyle::SP_FileDialogContentsView},
        {but_info, QStyle::SP_MessageBoxInformation}, {but_web, QStyle::SP_DriveNetIcon},
        {but_exit, QStyle::SP_DialogCloseButton},  {but_SetAutostart, QStyle::SP_DirHomeIcon},
        {but_ChangeListView, QStyle::SP_FileDialogListView}, {but_ChangeListGrid, QStyle::SP_FileDialogDetailedView}};
    for (const auto& [button, pixmap] : fallbacks)
        if (button->icon().isNull()) button->setIcon(style()->standardIcon(pixmap));

    but_shortcut_run = new QPushButton(QStringLiteral("&r"), this);
    but_shortcut_run->setObjectName(QStringLiteral("but_shortcut_run"));
    but_shortcut_run->setFixedSize(0, 0);

    chk_pause = new QCheckBox(this);
    chk_pause->setObjectName(QStringLiteral("chk_pause"));
    chk_pause->setToolTip(QStringLiteral("Pause ein- ausschalten"));
    chk_CheckItem = new QCheckBox(this);
    chk_CheckItem->setObjectName(QStringLiteral("chk_CheckItem"));
    chk_CheckItem->setToolTip(QStringLiteral("Select all / Deselect all"));
    txt_Suche = new QLineEdit(this);
    txt_Suche->setObjectName(QStringLiteral("txt_Suche"));
    txt_Suche->setText(searchPlaceholder());
    lbl_shortcut_txtsuchtext = makeLabel(this, "lbl_shortcut_txtsuchtext", QStringLiteral("&S"));
    lbl_shortcut_txtsuchtext->setBuddy(txt_Suche);
    lbl_shortcut_txtsuchtext->setFixedSize(0, 0);  // only its access key counts
    chk_SearchInAllCols = new QCheckBox(this);
    chk_SearchInAllCols->setObjectName(QStringLiteral("chk_SearchInAllCols"));

    lst_Files = new UiRowListView(this);
    lst_Files->setObjectName(QStringLiteral("lst_Files"));
    lst_Files->setRootIsDecorated(false);
    lst_Files->setUniformRowHeights(true);
    lst_Files->setSelectionMode(QAbstractItemView::MultiSelection);
    lst_Files->setSelectionBehavior(QAbstractItemView::SelectRows);
    lst_Files->showList(controller_->model());
    lst_Files->header()->setSectionsMovable(true);
    lst_Files->header()->setSectionsClickable(true);
    lst_Files->header()->setStretchLastSection(false);
    lst_Files->installEventFilter(this);
    lst_Files->viewport()->installEventFilter(this);

    WebBrowser1 = new UiWebBrowser(this);
    lbl_lstoverlay = makeLabel(lst_Files, "lbl_lstoverlay");
    lbl_lstoverlay->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pan_SingleProgress = new QProgressBar(lst_Files->viewport());
    pan_SingleProgress->setObjectName(QStringLiteral("pan_SingleProgress"));
    pan_SingleProgress->setRange(0, 100);
    pan_SingleProgress->hide();
    lbl_SingleProgress = makeLabel(lst_Files->viewport(), "lbl_SingleProgress");
    lbl_SingleProgress->hide();
    pan_progress = new QProgressBar(this);
    pan_progress->setObjectName(QStringLiteral("pan_progress"));
    pan_progress->setRange(0, 100);
    pan_progress->setValue(0);

    for (QLabel* label : {lbl_caption, lbl_RecordCount, lbl_lstoverlay}) label->installEventFilter(this);
}

void frm_main::buildMenus() {
    auto addAction = [this](QMenu* menu, const char* name, const QString& text) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    auto addSeparator = [](QMenu* menu, const char* name) {
        QAction* separator = menu->addSeparator();
        separator->setObjectName(QString::fromLatin1(name));
        return separator;
    };
    mnu_file = new QMenu(this);
    mnu_file->setObjectName(QStringLiteral("mnu_file"));
    mnu_file->setTitle(QStringLiteral("Katalog"));
    connect(addAction(mnu_file, "mnu_filenew", QStringLiteral("Neu (Alt-N)")), &QAction::triggered, but_DBNew,
            &QPushButton::click);
    connect(addAction(mnu_file, "mnu_fileopen", QStringLiteral("Öffnen (Alt-F)")), &QAction::triggered, but_DB,
            &QPushButton::click);
    connect(addAction(mnu_file, "mnu_filerefresh", QStringLiteral("Aktualisieren")), &QAction::triggered, this,
            [this] { controller_->mFillListBox(); });
    addSeparator(mnu_file, "mnu_filebar1");
    QMenu* exportMenu = mnu_file->addMenu(QStringLiteral("Exportiere Selektion"));
    exportMenu->menuAction()->setObjectName(QStringLiteral("mnu_fileexport"));
    addAction(exportMenu, "mnu_fileexportclipboard", QStringLiteral("... in Zwischenablage"));
    addAction(exportMenu, "mnu_fileexportascii", QStringLiteral("... in Textdatei"));
    addAction(exportMenu, "mnu_fileexporthtm", QStringLiteral("... in HTML-Datei"));
    addSeparator(mnu_file, "mnu_filebar2");
    connect(addAction(mnu_file, "mnu_fileAutoStart", QStringLiteral("Als Autostart festlegen")), &QAction::triggered,
            but_SetAutostart, &QPushButton::click);
    connect(addAction(mnu_file, "mnu_fileschedule", QStringLiteral("Zeitplan...")), &QAction::triggered, this,
            &frm_main::openSchedule);
    mnu_filebar4 = addSeparator(mnu_file, "mnu_filebar4");
    for (int i = 0; i < 9; ++i) {
        QAction* entry = mnu_file->addAction(QString());
        entry->setObjectName(QStringLiteral("mnu_filerecent%1").arg(i + 1));
        entry->setVisible(false);
        connect(entry, &QAction::triggered, this, [this, i] { controller_->recentEntryClicked(i + 1); });
        mnu_filerecent[static_cast<size_t>(i)] = entry;
    }
    addSeparator(mnu_file, "mnu_filebar5");
    connect(addAction(mnu_file, "mnu_appexit", QStringLiteral("Beenden (ESC)")), &QAction::triggered, but_exit,
            &QPushButton::click);

    mnu_fileedit = new QMenu(this);
    mnu_fileedit->setObjectName(QStringLiteral("mnu_fileedit"));
    connect(addAction(mnu_fileedit, "mnu_fileeditadd", QStringLiteral("Datei hinzufügen (Alt-D)")),
            &QAction::triggered, but_source, &QPushButton::click);
    connect(addAction(mnu_fileedit, "mnu_fileeditedit", QStringLiteral("Eintrag ändern (Alt-E)")),
            &QAction::triggered, but_Edit, &QPushButton::click);
    connect(addAction(mnu_fileedit, "mnu_fileeditdelete", QStringLiteral("Eintrag löschen (Alt-L)")),
            &QAction::triggered, but_delete, &QPushButton::click);
    addSeparator(mnu_fileedit, "mnu_fileeditbar1");
    addAction(mnu_fileedit, "mnu_filedelete", QStringLiteral("Lokale Datei löschen"));
    addAction(mnu_fileedit, "mnu_fileEXTdelete", QStringLiteral("Original-Datei löschen"));
    addSeparator(mnu_fileedit, "mnu_fileeditbar2");
    mnu_restore = addAction(mnu_fileedit, "mnu_restore", QStringLiteral("Wiederherstellen…"));
    connect(mnu_restore, &QAction::triggered, this, [this] { openRestoreWindow(*controller_, this); });

    mnu_fileaction = new QMenu(this);
    mnu_fileaction->setObjectName(QStringLiteral("mnu_fileaction"));
    QAction* start = addAction(mnu_fileaction, "mnu_fileactionstart", QStringLiteral("Sicherung starten [Archiv-Bit] (Alt-R)"));
    QFont bold = start->font();
    bold.setBold(true);
    start->setFont(bold);
    mnu_fileaction->setDefaultAction(start);
    addAction(mnu_fileaction, "mnu_fileactionstartallattr", QStringLiteral("Sicherung starten [Original Attribute]"));
    addAction(mnu_fileaction, "mnu_fileactionpause", QStringLiteral("Pause"))->setCheckable(true);
    connect(addAction(mnu_fileaction, "mnu_fileactionstop", QStringLiteral("Vorgang abbrechen (ESC) (nur wenn aktiv)")),
            &QAction::triggered, but_Cancel, &QPushButton::click);

    mnu_app = new QMenu(this);
    mnu_app->setObjectName(QStringLiteral("mnu_app"));
    connect(addAction(mnu_app, "mnu_appsetup", QStringLiteral("Setup")), &QAction::triggered, but_setup,
            &QPushButton::click);
    connect(addAction(mnu_app, "mnu_apperror", QStringLiteral("Fehlerstack")), &QAction::triggered, this,
            [this] { frm_ErrorList::showWindow(this); });
    connect(addAction(mnu_app, "mnu_applastlog", QStringLiteral("Letztes Protokoll")), &QAction::triggered, this,
            &frm_main::openNewestRunLog);
    addAction(mnu_app, "mnu_appwebupdate", QStringLiteral("Internetupdate"));
    connect(addAction(mnu_app, "mnu_appnetupdate", QStringLiteral("Netzwerkupate")), &QAction::triggered, this, [this] {
        if (mnu_appnetupdate_Click()) close();  // the tool works on the program's files
    });
    connect(addAction(mnu_app, "mnu_appinfo", QStringLiteral("Information")), &QAction::triggered, but_info,
            &QPushButton::click);
    addAction(mnu_app, "mnu_apphelp", QStringLiteral("Hilfe"));

    for (QLabel* label : {lbl_mnu_Katalog, lbl_mnu_Bearbeiten, lbl_mnu_Ausfuehren, lbl_mnu_Programm})
        label->installEventFilter(this);
}

void frm_main::layOutControls() {
    auto* root = new QVBoxLayout(this);
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
    for (QLabel* label : {lbl_mnu_Katalog, lbl_mnu_Bearbeiten, lbl_mnu_Ausfuehren, lbl_mnu_Programm})
        menuRow->addWidget(label);
    menuRow->addStretch(1);
    menuRow->addWidget(lbl_RecordCount);
    root->addLayout(menuRow);

    auto* buttonRow = new QHBoxLayout;
    for (QWidget* widget : std::initializer_list<QWidget*>{
             but_DBNew, but_DB, but_source, but_Edit, but_delete, but_Start, but_Cancel, chk_pause,
             chk_CheckItem, but_ChangeListView, but_ChangeListGrid, but_SetAutostart, but_setup, but_info,
             but_web, but_exit})
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
    lbl_MultiProgress->setFixedWidth(lbl_MultiProgress->fontMetrics().horizontalAdvance(QStringLiteral("0000%")));
}

// ---- commands, shortcut buttons and the context menu ---------------------------------------

void frm_main::openMenuBelow(QLabel* label) {
    QMenu* dropDown = label == lbl_mnu_Katalog      ? mnu_file
                      : label == lbl_mnu_Bearbeiten ? mnu_fileedit
                      : label == lbl_mnu_Ausfuehren ? mnu_fileaction
                                                    : mnu_app;
    dropDown->popup(label->mapToGlobal(QPoint(0, label->height())));
}

void frm_main::buildShortcutButtons() {
    // Hidden buttons that carry only an access key; each presses its command's button.
    auto hidden = [this](const char* name, const QString& caption, const std::function<void()>& press) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QString::fromUtf8(name));
        button->setFixedSize(0, 0);
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &QPushButton::clicked, this, press);
        return button;
    };
    but_shortcut_neu = hidden("but_shortcut_neu", QStringLiteral("&n"), [this] { but_DBNew->click(); });
    but_shortcut_oeffnen = hidden("but_shortcut_öffnen", QStringLiteral("&f"), [this] { but_DB->click(); });
    but_shortcut_dazu = hidden("but_shortcut_dazu", QStringLiteral("&d"), [this] { but_source->click(); });
    but_shortcut_andern = hidden("but_shortcut_andern", QStringLiteral("&e"), [this] { but_Edit->click(); });
    but_shortcut_del = hidden("but_shortcut_del", QStringLiteral("&l"), [this] { but_delete->click(); });
    but_shortcut_pause2 = hidden("but_shortcut_pause2", QStringLiteral("&p"), [this] {
        if (!chk_pause->isChecked()) chk_pause->click();
    });
    but_mnu_KatalogHover = hidden("but_mnu_KatalogHover", QStringLiteral("&k"), [this] { openMenuBelow(lbl_mnu_Katalog); });
    but_mnu_BearbeitenHover =
        hidden("but_mnu_BearbeitenHover", QStringLiteral("&b"), [this] { openMenuBelow(lbl_mnu_Bearbeiten); });
    but_mnu_AusfuehrenHover =
        hidden("but_mnu_AusfuehrenHover", QStringLiteral("&a"), [this] { openMenuBelow(lbl_mnu_Ausfuehren); });
    but_mnu_ProgrammHover =
        hidden("but_mnu_ProgrammHover", QStringLiteral("&m"), [this] { openMenuBelow(lbl_mnu_Programm); });
}

void frm_main::buildContextMenu() {
    menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("menu"));
    auto add = [](QMenu* into, const char* name, const QString& text, const std::function<void()>& run) {
        QAction* action = into->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        QObject::connect(action, &QAction::triggered, into, run);
        return action;
    };
    QMenu* edit = menu->addMenu(QStringLiteral("Bearbeiten"));
    edit->menuAction()->setObjectName(QStringLiteral("mnu_bear"));
    add(edit, "mnu_bear_add", QStringLiteral("Datei hinzufügen (Alt-D)"), [this] { but_source->click(); });
    add(edit, "mnu_bear_edit", QStringLiteral("Eintrag ändern (Alt-E)"), [this] { but_Edit->click(); });
    add(edit, "mnu_bear_del", QStringLiteral("Eintrag löschen (Alt-L)"), [this] { but_delete->click(); });
    edit->addSeparator();
    add(edit, "mnu_delfile", QStringLiteral("Lokale Datei löschen"),
        [this] { mDeleteFiles(*controller_, DeleteMode::Local); });
    add(edit, "mnu_delfileEXT", QStringLiteral("Original-Datei löschen"),
        [this] { mDeleteFiles(*controller_, DeleteMode::Original); });
    edit->addSeparator();
    edit->addAction(mnu_restore);
    QMenu* run = menu->addMenu(QStringLiteral("Ausführen"));
    run->menuAction()->setObjectName(QStringLiteral("mnu_ausf"));
    add(run, "mnu_ausf_start", QStringLiteral("Sicherung starten [Archiv-Bit] (Alt-R)"), [this] { startRun(false); });
    add(run, "mnu_ausf_startattr", QStringLiteral("Sicherung starten [Original Attribute]"), [this] { startRun(true); });
}

void frm_main::editEntries(EditorMode mode) {
    const EditorRunner runEditor = [this](EditorMode editorMode) {
        runEntryEditor(*this, editorMode, gSelCount, this);
    };
    if (mode == EditorMode::Add)
        but_source_Click(*controller_, runEditor);
    else
        but_Edit_Click(*controller_, runEditor);
}

void frm_main::cycleListView() {
    // report → large icons → list → small icons → report; the tree view draws them all as rows,
    // the mode is kept for the next start.
    static const int next[] = {2, 3, 1, 0};
    viewMode_ = next[std::clamp(viewMode_, 0, 3)];
    if (lst_Files->isEnabled()) lst_Files->setFocus();
}

void frm_main::connectEntryCommands() {
    // The entry editor (catalog) reaches the scanner window (scan) through this link.
    frm_choosedir::scannerRunner = runScanner;
    connect(but_source, &QPushButton::clicked, this, [this] { editEntries(EditorMode::Add); });
    connect(but_Edit, &QPushButton::clicked, this, [this] { editEntries(EditorMode::Edit); });
    connect(but_delete, &QPushButton::clicked, this, [this] { but_delete_Click(*controller_); });
    connect(findChild<QAction*>(QStringLiteral("mnu_filedelete")), &QAction::triggered, this,
            [this] { mDeleteFiles(*controller_, DeleteMode::Local); });
    connect(findChild<QAction*>(QStringLiteral("mnu_fileEXTdelete")), &QAction::triggered, this,
            [this] { mDeleteFiles(*controller_, DeleteMode::Original); });
    connect(but_ChangeListView, &QPushButton::clicked, this, &frm_main::cycleListView);
    for (QLabel* label : {lbl_mnu_System, lbl_mnu_SystemResize, lbl_mnu_SystemMinimize}) label->installEventFilter(this);
}

void frm_main::but_Start_Click() {
    controller_->mUpdateSelectionSummary();
    // Every run over a catalog is logged, also an automatic one that found nothing to select.
    if (!gDBOpen || !gDB.Access) {
        runWithDeferredView();
        return;
    }
    const QString catalog = gDB.Access->name();
    RunReport report(gProductName + QLatin1Char(' ') + gVersion + QStringLiteral(": Sicherung im Fenster"), catalog,
                     QStringLiteral("markierte Einträge"));
    report.selected(gSelCount, gSelTotal);
    runReport_ = &report;
    closingAfterRun_ = false;
    runWithDeferredView();
    runReport_ = nullptr;
    report.finish(gAbort ? 3 : (report.failed() > 0 ? 1 : 0));
    // Someone who is not looking at the window, or whose window closes after the run, hears of it.
    const bool seen = !closingAfterRun_ && isVisible() && !isMinimized() && isActiveWindow();
    if (!seen)
        showDesktopNotification(QStringLiteral("Sicherung beendet"),
                                QFileInfo(catalog).fileName() + QStringLiteral(": ") + report.totalsText(),
                                report.failed() > 0);
}

void frm_main::runWithDeferredView() {
    runView_->beginRun();
    runBackup(controller_->model(), controller_->rset_Record(), *this);
    runView_->endRun();
}

void frm_main::entryDone(int row, EntryOutcome outcome) {
    if (runReport_) runReport_->entryDone(controller_->model(), row, outcome);
}

void frm_main::openSchedule() {
    if (!gDB.Access) return;
    frm_schedule window(gDB.Access->name(), QCoreApplication::applicationFilePath(), this);
    window.exec();
}

void frm_main::openNewestRunLog() {
    const QString log = newestRunLog();
    if (log.isEmpty()) {
        showMessage(QStringLiteral("Es gibt noch kein Protokoll einer Sicherung."), gProductName, MsgIcon::Information);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(log)))
        showMessage(QStringLiteral("Das Protokoll konnte nicht geöffnet werden:") + gCrLf + log, gProductName,
                    MsgIcon::Exclamation);
}

void frm_main::startRun(bool copyAttributes) {
    gCopyAttributes = copyAttributes;
    but_Start->click();
}

void frm_main::connectCommands() {
    connect(but_Start, &QPushButton::clicked, this, &frm_main::but_Start_Click);
    connect(but_shortcut_run, &QPushButton::clicked, but_Start, &QPushButton::click);
    connect(but_Cancel, &QPushButton::clicked, this, [this] { requestCancel(*this); });
    connect(chk_pause, &QCheckBox::clicked, this, [this](bool checked) { pauseBoxClicked(checked, *this); });
    connect(findChild<QAction*>(QStringLiteral("mnu_fileactionpause")), &QAction::triggered, this,
            [this] {
                // The entry turns the pause flag over, whatever the box showed; the box's own
                // handler then sets the flag and both check marks.
                chk_pause->setChecked(gPause);
                chk_pause->click();
            });
    connect(findChild<QAction*>(QStringLiteral("mnu_fileactionstart")), &QAction::triggered, this,
            [this] { startRun(false); });
    connect(findChild<QAction*>(QStringLiteral("mnu_fileactionstartallattr")), &QAction::triggered, this,
            [this] { startRun(true); });
    connect(lst_Files, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        closeToolTip();
        if (index.isValid()) but_Start->click();
    });
    connect(but_DB, &QPushButton::clicked, this, [this] { controller_->but_DB_Click(); });
    connect(but_DBNew, &QPushButton::clicked, this, [this] { controller_->but_DBNew_Click(); });
    connect(but_setup, &QPushButton::clicked, this, [this] { but_setup_Click(*this); });
    connect(but_SetAutostart, &QPushButton::clicked, this, [] { but_SetAutostart_Click(); });
    connect(but_exit, &QPushButton::clicked, this, &QWidget::close);
    connect(but_info, &QPushButton::clicked, this, [this] { frm_info::showAbout(this, lbl_caption); });
    connect(but_web, &QPushButton::toggled, WebBrowser1, &UiWebBrowser::but_web_Toggled);
    connect(chk_CheckItem, &QCheckBox::clicked, this, [this](bool checked) {
        controller_->mSelectAll(checked);
        if (lst_Files->isEnabled()) lst_Files->setFocus();
    });
    connect(but_ChangeListGrid, &QPushButton::clicked, this, [this] {
        if (loading_) return;
        applyListGrid(!gridLines_);
        if (lst_Files->isEnabled()) lst_Files->setFocus();
    });
    connect(lst_Files->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { controller_->columnClicked(column); });
    connectSearchAndExport();
}

// ---- search and export ------------------------------------------------------------------

void frm_main::connectSearchAndExport() {
    searchBox_ = new SearchBox(txt_Suche, [this](const QString& text) { searchTextChanged(text); });
    // The box's text marks the rows of whichever catalog is open.
    connect(controller_.get(), &CatalogController::catalogOpened, this,
            [this] { searchTextChanged(txt_Suche->text()); });
    connect(chk_SearchInAllCols, &QCheckBox::clicked, this, [this] {
        if (loading_) return;
        // Runs the search again with the new setting.
        const QString previous = txt_Suche->text();
        txt_Suche->setText(QString());
        txt_Suche->setText(previous);
        txt_Suche->setFocus();
    });
    connect(findChild<QAction*>(QStringLiteral("mnu_fileexportclipboard")), &QAction::triggered, this,
            [this] { gExportList(controller_->model(), QString(), exportmode::kClipboard); });
    connect(findChild<QAction*>(QStringLiteral("mnu_fileexportascii")), &QAction::triggered, this,
            [this] { exportListToChosenFile(controller_->model()); });
}

void frm_main::searchTextChanged(const QString& text) {
    const SearchOutcome outcome = gSearchList(controller_->model(), text, chk_SearchInAllCols->isChecked());
    // mHitItem: the list's current row is forgotten; the selection stays as the search set it.
    if (outcome != SearchOutcome::Placeholder)
        controller_->model().selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

// ---- setup ---------------------------------------------------------------------------------

BaselineAppearance frm_main::loadedAppearance() const {
    BaselineAppearance appearance;
    for (size_t i = 0; i < menuLabelStyles_.size(); ++i)
        appearance.menuLabels[i] = {menuLabelStyles_[i].font, menuLabelStyles_[i].foreColor, menuLabelStyles_[i].backColor};
    appearance.listColor = listColor_;
    appearance.buttonsColor = buttonsColor_;
    return appearance;
}

void frm_main::setLoadedAppearance(const BaselineAppearance& appearance) {
    for (size_t i = 0; i < menuLabelStyles_.size(); ++i)
        menuLabelStyles_[i] = {appearance.menuLabels[i].font, appearance.menuLabels[i].foreColor,
                               appearance.menuLabels[i].backColor};
    listColor_ = appearance.listColor;
    buttonsColor_ = appearance.buttonsColor;
}

// ---- MainView ------------------------------------------------------------------------------

void frm_main::showOverlay(const QString& text, bool visible) {
    lbl_lstoverlay->setText(text);
    lbl_lstoverlay->setGeometry(lst_Files->rect());
    lbl_lstoverlay->setVisible(visible);
    if (visible) lbl_lstoverlay->raise();
}

void frm_main::setRecordCountText(const QString& text) {
    lbl_RecordCount->setText(text);
    lbl_RecordCount->raise();
}

void frm_main::setListVisible(bool visible) { lst_Files->setUpdatesEnabled(visible); }

void frm_main::setDetailTexts(const QString& source, const QString& folder) {
    lbl_Eingangsdatei->setText(source);
    lbl_Sicherungsverzeichnis->setText(folder);
}

QString frm_main::detailSource() const { return lbl_Eingangsdatei->text(); }

QString frm_main::detailFolder() const { return lbl_Sicherungsverzeichnis->text(); }

void frm_main::autoSizeColumns() { gAutoSizeColumns(lst_Files, true); }

void frm_main::scrollToRow(int row) { runView_->scrollToRow(row); }

void frm_main::setSummaryText(const QString& text) { runView_->setStatusLine(text); }

void frm_main::applyControlStates(const ControlStates& states) {
    const bool running = !states.idle;
    for (QWidget* widget : std::initializer_list<QWidget*>{but_Cancel, chk_pause}) widget->setEnabled(running);
    for (QWidget* widget : std::initializer_list<QWidget*>{lbl_MultiProgressTitel, pan_progress, lbl_MultiProgress})
        widget->setVisible(running);
    for (QWidget* widget : std::initializer_list<QWidget*>{but_ChangeListView, but_DB, but_DBNew, but_setup,
                                                          but_info, but_web, but_exit})
        widget->setEnabled(states.idle);
    const bool catalogCommands = states.catalogOpen && states.idle;
    chk_CheckItem->setEnabled(catalogCommands);
    chk_CheckItem->setChecked(states.allRowsSelected);
    for (QWidget* widget : std::initializer_list<QWidget*>{but_SetAutostart, txt_Suche, chk_SearchInAllCols})
        widget->setEnabled(catalogCommands);
    // Adding, changing and removing entries write the catalog.
    const bool writable = !states.catalogReadOnly;
    but_source->setEnabled(catalogCommands && writable);
    const bool selectionCommands = states.hasSelection && states.idle;
    for (QWidget* widget : std::initializer_list<QWidget*>{but_Edit, but_delete})
        widget->setEnabled(selectionCommands && writable);
    but_Start->setEnabled(selectionCommands);

    auto setActions = [this](std::initializer_list<const char*> names, bool enabled) {
        for (const char* name : names)
            if (auto* action = findChild<QAction*>(QString::fromLatin1(name))) action->setEnabled(enabled);
    };
    setActions({"mnu_fileactionpause", "mnu_fileactionstop"}, running);
    setActions({"mnu_apperror", "mnu_appinfo", "mnu_appnetupdate", "mnu_appsetup", "mnu_filenew", "mnu_fileopen"},
               states.idle);
    for (QAction* entry : mnu_filerecent) entry->setEnabled(states.idle);
    setActions({"mnu_fileAutoStart", "mnu_filerefresh", "mnu_fileschedule"}, catalogCommands);
    setActions({"mnu_fileeditadd"}, catalogCommands && writable);
    setActions({"mnu_fileeditedit", "mnu_fileeditdelete"}, selectionCommands && writable);
    // A restore writes files, never the catalog.
    mnu_restore->setEnabled(states.oneRowSelected && states.idle);
    // Both file deletions work on the selected rows, never during a run.
    setActions({"mnu_filedelete", "mnu_fileEXTdelete", "mnu_delfile", "mnu_delfileEXT", "mnu_fileactionstart",
                "mnu_fileactionstartallattr", "mnu_fileexport"},
               selectionCommands);
}

void frm_main::showRecentEntries(const std::array<QString, 9>& captions) {
    bool any = false;
    for (size_t i = 0; i < captions.size(); ++i) {
        mnu_filerecent[i]->setText(captions[i]);
        mnu_filerecent[i]->setVisible(!captions[i].isEmpty());
        any = any || !captions[i].isEmpty();
    }
    mnu_filebar4->setVisible(any);
}

void frm_main::closeToolTip() { frm_ToolTip::unload(); }

// ---- RunObserver --------------------------------------------------------------------------

int frm_main::overallProgressValue() const { return runView_->overallValue(); }

void frm_main::setOverallProgressValue(int value) { runView_->setOverallValue(value); }

void frm_main::fileProgress(const CopyProgress& progress) { runView_->fileProgress(progress); }

QString frm_main::captionText() const { return lbl_caption->text(); }

void frm_main::setCaptionText(const QString& text) { lbl_caption->setText(text); }

QString frm_main::statusLine() const { return runView_->statusLine(); }

void frm_main::setStatusLine(const QString& text) { runView_->setStatusLine(text); }

void frm_main::showStatusWindow(const QString& tagText) { runView_->showStatusWindow(tagText); }

void frm_main::statusWindowProgress(const CopyProgress& progress) { runView_->statusWindowProgress(progress); }

void frm_main::closeStatusWindow() { runView_->closeStatusWindow(); }

void frm_main::showRowProgress(int row) { runView_->showRowProgress(row); }

void frm_main::placeRowProgress(int row) {
    const QRect cell = lst_Files->visualRect(controller_->model().index(row, 0));
    const bool visible = viewMode_ == 3 && cell.isValid() && lst_Files->viewport()->rect().contains(cell.center());
    if (!visible) return;
    const int labelWidth = twipsToPixels(480);
    const int barWidth = std::max(20, lst_Files->columnWidth(0) - twipsToPixels(990));
    pan_SingleProgress->setGeometry(cell.left() + twipsToPixels(260), cell.top(), barWidth, cell.height());
    lbl_SingleProgress->setGeometry(pan_SingleProgress->geometry().right() + 1, cell.top(), labelWidth, cell.height());
    pan_SingleProgress->show();
    lbl_SingleProgress->show();
}

void frm_main::hideRowProgress() { runView_->hideRowProgress(); }

void frm_main::setListEnabled(bool enabled) { lst_Files->setEnabled(enabled); }

void frm_main::focusList() { lst_Files->setFocus(); }

void frm_main::updateSelectionSummary() { controller_->mUpdateSelectionSummary(); }

void frm_main::applyControlStates() { controller_->mEnableControls(); }

void frm_main::enableCancelButton() { but_Cancel->setEnabled(true); }

void frm_main::setCancelLook(CancelLook look) {
    if (look == CancelLook::Waiting) {
        but_Cancel->setIcon(QIcon());
        but_Cancel->setText(QStringLiteral("Abschluss abwarten..."));
        but_Cancel->setFixedWidth(twipsToPixels(2325));
        return;
    }
    but_Cancel->setText(QString());
    but_Cancel->setIcon(QIcon::fromTheme(QStringLiteral("process-stop"), style()->standardIcon(QStyle::SP_BrowserStop)));
    but_Cancel->setMinimumWidth(0);
    but_Cancel->setMaximumWidth(QWIDGETSIZE_MAX);
}

bool frm_main::pauseChecked() const { return chk_pause->isChecked(); }

void frm_main::setPauseChecked(bool checked) {
    chk_pause->setChecked(checked);
    if (auto* entry = findChild<QAction*>(QStringLiteral("mnu_fileactionpause"))) entry->setChecked(checked);
}

void frm_main::focusRunShortcut() { but_shortcut_run->setFocus(); }

void frm_main::pressExit() {
    // The run is still working when it asks for the exit; the window can only close once the
    // run has ended and the window is idle again.
    closingAfterRun_ = true;
    QTimer::singleShot(0, but_exit, &QPushButton::click);
}

void frm_main::stopTimers(int which) {
    if (which & timers::kRefresh) controller_->Timer1().stop();
    if (which & timers::kSummary) controller_->Timer2().stop();
}

void frm_main::startTimers(int which) {
    if ((which & timers::kRefresh) && controller_->autoUpdate()) controller_->Timer1().start();
    if (which & timers::kSummary) controller_->Timer2().start();
}

// ---- first activation ----------------------------------------------------------------------

void frm_main::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Showing the window activates it; the first activation runs once the window has painted.
    // Window systems differ in whether and when they report activation, the show they all do.
    if (!firstActivation_) return;
    firstActivation_ = false;
    QTimer::singleShot(0, this, &frm_main::runFirstActivation);
}

void frm_main::runFirstActivation() {
    if (gStartCommand.mode == CommandLineMode::Open || !gDBOpen) return;
    bool copyRange = false;
    bool copyAll = false;
    readBool(keys::setup_opt_AutoCopyRange, copyRange);
    if (copyRange) {
        // The search selects the matching entries; the run works on that selection.
        txt_Suche->setText(readText(keys::setup_txt_AutoCopyRange));
        QCoreApplication::processEvents();
    } else if (readBool(keys::setup_opt_AutoCopyAll, copyAll) && copyAll) {
        controller_->mSelectAll(true);
        QCoreApplication::processEvents();
    }
    if (!copyRange && !copyAll) return;
    controller_->timer2Tick();  // the commands follow the new selection before Start is pressed
    // The handler itself, not the button: with nothing selected the button is disabled, and a run
    // over no rows still rewrites every row's status and ends with the after-run action.
    but_Start_Click();
    searchBox_->resetToPlaceholder();
    chk_CheckItem->setChecked(false);
}

// ---- column order --------------------------------------------------------------------------

QString frm_main::mGetColumnOrder() const {
    QStringList positions;
    for (int c = 0; c < controller_->model().columnCount(); ++c)
        positions << QString::number(lst_Files->header()->visualIndex(c));
    return positions.join(QLatin1Char(';'));
}

void frm_main::mSetColumnOrder(const QString& order) {
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

// ---- loading -------------------------------------------------------------------------------

bool frm_main::load() {
    gBusyOn();
    controller_->stopTimers();
    gInitCrLf();
    gHostName = gGetComputerName();
    writeSetting(keys::AppEXELocal, QCoreApplication::applicationFilePath().trimmed());
    gCatalogFiles.Clear();
    gErrorStack.Clear();
    readToolTipSettings();
    gIdle = true;
    loading_ = true;
    firstActivation_ = false;

    restoreGeometryFromSettings();
    lbl_lstoverlay->setText(QStringLiteral(" Keine Einträge vorhanden"));
    applyMenuLabelStyles();
    applyColours();
    std::array<double, 7> widths{};
    for (int c = 1; c <= 7; ++c) widths[static_cast<size_t>(c - 1)] = static_cast<int>(readNumber(keys::columnWidthKey(c)));
    controller_->createColumns(widths);
    controller_->model().setHeaderPictures(headerPictureList());
    for (int c = 0; c < col::kFixedColumns; ++c)
        lst_Files->setColumnWidth(c, twipsToPixels(c < 7 ? widths[static_cast<size_t>(c)] : 0));
    lst_Files->header()->setSectionHidden(col::kId, true);
    lst_Files->header()->setSectionHidden(col::kHostStatus, true);
    mSetColumnOrder(readText(keys::ColumnOrder));
    readListSettings();
    int sortKey = 0, sortOrder = 0;
    readInteger(keys::main_lst_files_sortkey, sortKey);
    readInteger(keys::main_lst_files_sortorder, sortOrder);
    controller_->setSortFromSettings(sortKey, sortOrder);
    int searchAll = 0;
    if (readInteger(keys::chk_SearchInAllCols, searchAll)) chk_SearchInAllCols->setChecked(searchAll != 0);

    chooseCatalog();
    if (gStartCommand.mode == CommandLineMode::Add) {
        addFilesFromCommandLine();
        gBusyOff();
        return false;
    }
    for (int slot = 1; slot <= 9; ++slot)
        gRecentCatalogs[static_cast<size_t>(slot - 1)] = readText(keys::recentReadKey(slot));
    controller_->mUpdateRecentList();
    gShowSystemCaption(this, false);  // the window draws its own caption bar
    loading_ = false;
    // From now on no resize makes the window smaller than this; the window system keeps to it
    // while the user pulls an edge.
    setMinimumSize(twipsToPixels(kMinimumWidthTwips), twipsToPixels(kDesignHeightTwips));
    firstActivation_ = true;

    if (!gDBOpen)
        showOverlay(QStringLiteral(" Kein Katalog geladen."), true);
    else if (gCatalogFiles.Count() == 0)
        showOverlay(QStringLiteral(" Keine Einträge im Katalog."), true);
    else
        showOverlay(QString(), false);
    gBusyOff();
    bool autoUpdate = true;
    readFlagEq1(keys::setup_chk_AutoUpdate, autoUpdate);
    const int interval = static_cast<int>(readNumber(keys::setup_txt_AutoUpdate));
    controller_->setAutoUpdate(autoUpdate, interval);
    controller_->mSetTimers(true, interval);
    controller_->mEnableControls();
    return true;
}

void frm_main::restoreGeometryFromSettings() {
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
        setGeometry(twipsToPixels(centreLeft), twipsToPixels(centreTop), twipsToPixels(kDesignWidthTwips),
                    twipsToPixels(kDesignHeightTwips));
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

void frm_main::applyMenuLabelStyles() {
    const std::array<std::array<SettingKey, 3>, 4> menuKeys{{
        {keys::main_mnu_app_font, keys::main_mnu_app_fontcolor, keys::main_mnu_app_backcolor},
        {keys::main_mnu_file_font, keys::main_mnu_file_fontcolor, keys::main_mnu_file_backcolor},
        {keys::main_mnu_fileedit_font, keys::main_mnu_fileedit_fontcolor, keys::main_mnu_fileedit_backcolor},
        {keys::main_mnu_fileaction_font, keys::main_mnu_fileaction_fontcolor, keys::main_mnu_fileaction_backcolor},
    }};
    const std::array<QLabel*, 4> labels{lbl_mnu_Programm, lbl_mnu_Katalog, lbl_mnu_Bearbeiten, lbl_mnu_Ausfuehren};
    for (size_t i = 0; i < labels.size(); ++i) {
        MenuLabelStyle& style = menuLabelStyles_[i];
        style.font = readText(menuKeys[i][0]);
        readInteger(menuKeys[i][1], style.foreColor);
        readInteger(menuKeys[i][2], style.backColor);
        QFont font = labels[i]->font();
        font.setFamily(style.font);
        labels[i]->setFont(font);
        setColours(labels[i], style.backColor, style.foreColor);
    }
}

void frm_main::applyColours() {
    for (QLabel* label : {lbl_caption, lbl_lstoverlay, lbl_mnu_System, lbl_mnu_SystemResize, lbl_mnu_SystemMinimize})
        setColours(label, gCaptionBackColor, gCaptionForeColor);
    for (QLabel* label : {lbl_RecordCount, lbl_MultiProgressTitel, lbl_status}) {
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, colorFromBgr(gCaptionBackColor));
        label->setPalette(colours);
    }
}

void frm_main::applyListGrid(bool on) {
    gridLines_ = on;
    but_ChangeListGrid->setChecked(on);
    // A new style sheet puts back the palettes of its first polish; the list keeps its colours.
    const QColor listBack = lst_Files->palette().color(QPalette::Base);
    const QColor listText = lst_Files->palette().color(QPalette::Text);
    // With an item rule the style sheet draws selected rows too, so it names their colours.
    lst_Files->setStyleSheet(on ? QStringLiteral("QTreeView::item { border-right: 1px solid #d0d0d0; "
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

void frm_main::readListSettings() {
    bool autoSize = true;
    if (readBool(keys::setup_chk_AutoSpaltenbreite, autoSize)) controller_->setAutoSizeColumns(autoSize);
    bool grid = true;
    if (readBool(keys::lst_grid, grid)) applyListGrid(grid);
    readInteger(keys::lst_view, viewMode_);
    readInteger(keys::lst_color, listColor_);
    QPalette colours = lst_Files->palette();
    colours.setColor(QPalette::Base, colorFromBgr(listColor_));
    colours.setColor(QPalette::Text, colorFromBgr(gCaptionForeColor));
    lst_Files->setPalette(colours);
    readInteger(keys::main_buttons_backcolor, buttonsColor_);
    for (QWidget* widget : findChildren<QPushButton*>()) {
        QPalette buttonColours = widget->palette();
        buttonColours.setColor(QPalette::Button, colorFromBgr(buttonsColor_));
        widget->setPalette(buttonColours);
    }
}

void frm_main::chooseCatalog() {
    if (gStartCommand.mode == CommandLineMode::Open) {
        controller_->mOpenDB(gStartCommand.catalog);
        return;
    }
    bool autostart = false;
    if (!readFlagEq1(keys::setup_chk_autostart, autostart) || !autostart) return;
    const QString catalog = readText(keys::setup_txt_autostart);
    const QString head = QStringLiteral("Eintrag in der Registry ist fehlerhaft:") + gCrLf + gCrLf;
    bool failed = false;
    if (catalog.isEmpty()) {
        frm_CommandStatus::unload();
        showMessage(head + QStringLiteral("Eintrag ist leer.") + gCrLf + QStringLiteral("Bitte im Setup prüfen."),
                    gProductName, MsgIcon::Information);
        failed = true;
    } else if (!fs::isRegularFile(catalog)) {
        frm_CommandStatus::unload();
        showMessage(head + QStringLiteral("Datenbank existiert nicht!") + gCrLf + QStringLiteral("Bitte im Setup prüfen."),
                    gProductName, MsgIcon::Information);
        failed = true;
    } else {
        controller_->mOpenDB(catalog);
        failed = !gDBOpen;
    }
    if (failed) writeSetting(keys::setup_chk_autostart, QStringLiteral("0"));
}

bool frm_main::addFilesFromCommandLine() {
    if (!gDBOpen) {
        showMessage(QStringLiteral("Es ist kein Autostart-Katalog aktiviert.") + gCrLf + gCrLf + QStringLiteral("Die Option") +
                        gCrLf + QStringLiteral("'Automatisches Öffnen eines Katalogs nach Programmstart'") + gCrLf +
                        QStringLiteral("im Fenster 'Setup' muß aktiviert werden!"),
                    gProductName, MsgIcon::Exclamation);
        return false;
    }
    const QString folder = readText(keys::setup_txt_StandardSicherungsverzeichnis);
    if (folder.isEmpty()) return false;
    // Every argument is one file path, made absolute at start.
    gSelectedFiles = gSplitMultiselectFiles(gStartCommand.files.join(QChar(0)) + QChar(0), true);
    if (gShowStatus) {
        frm_CommandStatus* status = frm_CommandStatus::load();
        status->setTagText(startupStatusText(gCommandLine));
        status->show();
        QCoreApplication::processEvents();
    }
    gUseOrigPath = false;
    readBool(keys::setup_chk_UseOrigPath, gUseOrigPath);
    mSaveEntries(controller_->rset_Record(), SaveMode::AddNew, folder);
    controller_->mFillListBox();
    if (gShowStatus) frm_CommandStatus::unload();
    return true;
}

// ---- closing -------------------------------------------------------------------------------

void frm_main::closeEvent(QCloseEvent* event) {
    if (!gIdle) {
        event->ignore();
        return;
    }
    controller_->stopTimers();
    controller_->closeCatalog();
    saveSettings();
    event->accept();
}

void frm_main::saveSettings() {
    gBusyOn();
    if (gShowStatus) {
        frm_CommandStatus* status = frm_CommandStatus::load();
        status->setTagText(QStringLiteral("Programm wird beendet"));
        status->show();
        QCoreApplication::processEvents();
    }
    const QRect frame = normalGeometry().isValid() && isMaximized() ? geometry() : geometry();
    writeSetting(keys::main_left, static_cast<qint64>(pixelsToTwips(frame.x())));
    writeSetting(keys::main_top, static_cast<qint64>(pixelsToTwips(frame.y())));
    writeSetting(keys::main_width, static_cast<qint64>(pixelsToTwips(frame.width())));
    writeSetting(keys::main_height, static_cast<qint64>(pixelsToTwips(frame.height())));

    const std::array<std::array<SettingKey, 3>, 4> menuKeys{{
        {keys::main_mnu_fileaction_font, keys::main_mnu_fileaction_fontcolor, keys::main_mnu_fileaction_backcolor},
        {keys::main_mnu_app_font, keys::main_mnu_app_fontcolor, keys::main_mnu_app_backcolor},
        {keys::main_mnu_file_font, keys::main_mnu_file_fontcolor, keys::main_mnu_file_backcolor},
        {keys::main_mnu_fileedit_font, keys::main_mnu_fileedit_fontcolor, keys::main_mnu_fileedit_backcolor},
    }};
    const std::array<QLabel*, 4> labels{lbl_mnu_Ausfuehren, lbl_mnu_Programm, lbl_mnu_Katalog, lbl_mnu_Bearbeiten};
    for (size_t i = 0; i < labels.size(); ++i) {
        writeSetting(menuKeys[i][0], labels[i]->font().family().trimmed());
        writeSetting(menuKeys[i][1], static_cast<qint64>(bgrFromColor(labels[i]->palette().color(QPalette::WindowText))));
        writeSetting(menuKeys[i][2], static_cast<qint64>(bgrFromColor(labels[i]->palette().color(QPalette::Window))));
    }
    writeSetting(keys::main_lbl_caption_backcolor, gCaptionBackColor);
    writeSetting(keys::main_lbl_caption_forecolor, gCaptionForeColor);
    writeSetting(keys::main_buttons_backcolor, static_cast<qint64>(bgrFromColor(but_DB->palette().color(QPalette::Button))));
    for (int c = 1; c <= 7; ++c)
        writeSetting(keys::columnWidthKey(c), static_cast<qint64>(pixelsToTwips(lst_Files->columnWidth(c - 1))));
    writeSetting(keys::ColumnOrder, mGetColumnOrder());
    writeCheckBox(keys::lst_grid, gridLines_);
    writeSetting(keys::lst_view, static_cast<qint64>(viewMode_));
    writeSetting(keys::lst_color, listColor_);
    writeCheckBox(keys::lst_fullrowselect, lst_Files->selectionBehavior() == QAbstractItemView::SelectRows);
    writeCheckBox(keys::chk_SearchInAllCols, chk_SearchInAllCols->isChecked());
    writeSetting(keys::main_lst_files_sortkey, static_cast<qint64>(controller_->model().sortColumn()));
    writeSetting(keys::main_lst_files_sortorder,
                 static_cast<qint64>(controller_->model().sortOrder() == Qt::DescendingOrder ? 1 : 0));
    for (int slot = 1; slot <= 9; ++slot)
        writeSetting(keys::recentWriteKey(slot), gRecentCatalogs[static_cast<size_t>(slot - 1)]);
    if (gShowStatus) frm_CommandStatus::unload();
    gBusyOff();
}

void frm_main::mousePressEvent(QMouseEvent* event) {
    closeToolTip();  // a click on the window's background
    QWidget::mousePressEvent(event);
}

namespace {
// The input events a list can receive from the user.
bool isUserInput(const QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::ToolTip:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}
}  // namespace

void frm_main::keyPressEvent(QKeyEvent* event) {
    // Escape: cancel a run ("Vorgang abbrechen (ESC)"), or leave the program when idle
    // ("Programm verlassen (ESC)").
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (!gIdle) {
        if (but_Cancel->isEnabled()) but_Cancel->click();
    } else if (but_exit->isEnabled()) {
        but_exit->click();
    }
    event->accept();
}

bool frm_main::eventFilter(QObject* watched, QEvent* event) {
    // While a run works the list takes no input: the filters below would act on the rows even
    // though the list is disabled.
    if (!gIdle && (watched == lst_Files || watched == lst_Files->viewport()) &&
        isUserInput(event)) {
        // Escape still reaches the window: it cancels the run.
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            return false;
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == lbl_mnu_Katalog || watched == lbl_mnu_Bearbeiten || watched == lbl_mnu_Ausfuehren ||
            watched == lbl_mnu_Programm) {
            openMenuBelow(static_cast<QLabel*>(watched));
            return true;
        }
        if (watched == lbl_caption || watched == lbl_RecordCount || watched == lbl_lstoverlay) {
            closeToolTip();
            drag_.handle(static_cast<QWidget*>(watched), event);
            // A drag by the window system ends without a release reaching the overlay.
            if (watched == lbl_lstoverlay) but_DBNew->setFocus();
            return true;
        }
    }
    if ((event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonRelease) &&
        (watched == lbl_caption || watched == lbl_RecordCount || watched == lbl_lstoverlay)) {
        drag_.handle(static_cast<QWidget*>(watched), event);
        if (event->type() == QEvent::MouseButtonRelease && watched == lbl_lstoverlay) but_DBNew->setFocus();
    }
    // The overlay lies over the whole list, header and scroll bars too, whatever its size.
    if (event->type() == QEvent::Resize && watched == lst_Files) lbl_lstoverlay->setGeometry(lst_Files->rect());
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == lbl_mnu_System) {
            but_exit->click();
            return true;
        }
        if (watched == lbl_mnu_SystemMinimize) {
            setWindowState(windowState() | Qt::WindowMinimized);
            return true;
        }
        if (watched == lbl_mnu_SystemResize) {
            if (!isMinimized()) setWindowState(windowState() ^ Qt::WindowMaximized);
            return true;
        }
    }
    if (event->type() == QEvent::KeyRelease && watched == lst_Files &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        but_delete->click();
        return true;
    }
    if (event->type() == QEvent::FocusIn && watched == lst_Files) gListHasFocus = true;
    if (event->type() == QEvent::FocusOut && watched == lst_Files) gListHasFocus = false;
    if (event->type() == QEvent::MouseButtonDblClick && (watched == lbl_caption || watched == lbl_lstoverlay)) {
        setWindowState(windowState() ^ Qt::WindowMaximized);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && watched == lst_Files->viewport()) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton) {
            const QModelIndex hit = lst_Files->indexAt(mouse->pos());
            controller_->gToggleListItem(hit.isValid() ? hit.row() : -1);
            // The commands follow the click at once; the tooltip that may open next holds the
            // selection timer while it is shown.
            controller_->timer2Tick();
            if (hit.isValid())
                frm_ToolTip::openFromMainList(*this, hit.row(), lst_Files->viewport()->mapTo(lst_Files, mouse->pos()));
            return true;
        }
        controller_->mUpdateSelectionSummary();
        if (gCatalogFiles.Count() > 0 && gSelCount >= 1) {
            closeToolTip();
            menu->popup(mouse->globalPosition().toPoint());
        }
        return true;
    }
    if ((event->type() == QEvent::MouseButtonPress) && watched == lst_Files->viewport()) {
        if (static_cast<QMouseEvent*>(event)->button() != Qt::RightButton) closeToolTip();
        return true;  // selection is the click toggle's business
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace bravel
