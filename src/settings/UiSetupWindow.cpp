#include "settings/UiSetupWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QSpinBox>
#include <QStorageInfo>
#include <QStyle>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/UiNamed.h"
#include "settings/SettingKeys.h"
#include "settings/SetupValues.h"

namespace bravel {

namespace {

QLabel* makeLabel(const QString& text, QWidget* parent, const char* name = nullptr) {
    auto* label = new QLabel(text, parent);
    if (name) label->setObjectName(QString::fromUtf8(name));
    return label;
}

QCheckBox* makeCheck(const QString& text, QWidget* parent, const char* name) {
    return named(new QCheckBox(text, parent), name);
}

QLabel* makeSwatch(QWidget* parent, const char* name) {
    auto* swatch = makeLabel(QString(), parent, name);
    swatch->setFrameShape(QFrame::Box);
    swatch->setFixedSize(36, 20);
    swatch->setCursor(Qt::PointingHandCursor);
    return swatch;
}

}  // namespace

void UiSetupWindow::setupUi(QDialog* window, QObject* inputFilter) {
    window_ = window;
    auto* root = new QVBoxLayout(window_);
    root->setContentsMargins(2, 2, 2, 6);
    root->addWidget(buildTitleBar());

    auto* body = new QHBoxLayout;
    lst_setup = named(new QListWidget(window_), "lst_setup");
    QFont bold = lst_setup->font();
    bold.setBold(true);
    lst_setup->setFont(bold);
    lst_setup->setFixedWidth(140);
    tab_Setup = named(new QTabWidget(window_), "tab_Setup");
    tab_Setup->addTab(buildStartTab(), QString::fromUtf8(kSetupSections[0].key));
    tab_Setup->addTab(buildDefaultsTab(), QString::fromUtf8(kSetupSections[1].key));
    tab_Setup->addTab(buildViewTab(), QString::fromUtf8(kSetupSections[2].key));
    tab_Setup->addTab(buildRunTab(), QString::fromUtf8(kSetupSections[3].key));
    body->addWidget(lst_setup);
    body->addWidget(tab_Setup, 1);
    root->addLayout(body, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    but_ok = named(new QPushButton(window_->style()->standardIcon(QStyle::SP_DialogOkButton),
                                   QStringLiteral("OK"), window_),
                   "but_ok");
    but_exit = named(new QPushButton(window_->style()->standardIcon(QStyle::SP_DialogCloseButton),
                                     QStringLiteral("Exit"), window_),
                     "but_exit");
    but_ok->setAutoDefault(false);
    but_exit->setAutoDefault(false);
    buttons->addWidget(but_ok);
    buttons->addWidget(but_exit);
    root->addLayout(buttons);

    for (QObject* watched : std::initializer_list<QObject*>{
             lbl_icon, lbl_caption, img_systemclose, lbl_mnu_System, opt_AutoCopyRange,
             opt_AutoCopyAll, txt_AutoUpdate, pic_FontColor, pic_FontColorHintergrund,
             pic_Fensterhintergrundfarbe, pic_Systemfarbe, pic_backcolor, pic_ButtonColor})
        watched->installEventFilter(inputFilter);
}

QWidget* UiSetupWindow::buildTitleBar() {
    auto* bar = new QWidget(window_);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    lbl_icon = makeLabel(QString(), bar, "lbl_icon");
    const QIcon icon = window_->windowIcon().isNull()
                           ? window_->style()->standardIcon(QStyle::SP_DriveHDIcon)
                           : window_->windowIcon();
    lbl_icon->setPixmap(icon.pixmap(16, 16));
    lbl_icon->setContentsMargins(3, 2, 3, 2);
    lbl_caption =
        makeLabel(QString(6, QLatin1Char(' ')) + QStringLiteral("SETUP"), bar, "lbl_caption");
    QFont captionFont = lbl_caption->font();
    captionFont.setBold(true);
    lbl_caption->setFont(captionFont);
    lbl_caption->setMinimumHeight(22);
    img_systemclose = makeLabel(QString(), bar, "img_systemclose");
    img_systemclose->setPixmap(
        window_->style()->standardIcon(QStyle::SP_TitleBarCloseButton).pixmap(14, 14));
    img_systemclose->setContentsMargins(3, 2, 3, 2);
    lbl_mnu_System = makeLabel(QStringLiteral(" ✕ "), bar, "lbl_mnu_System");
    lbl_mnu_System->setToolTip(QStringLiteral("Programm verlassen (ESC)"));
    row->addWidget(lbl_icon);
    row->addWidget(lbl_caption, 1);
    row->addWidget(img_systemclose);
    row->addWidget(lbl_mnu_System);
    return bar;
}

namespace {
QVBoxLayout* tabPage(QWidget* page, QLabel*& heading, int section) {
    auto* column = new QVBoxLayout(page);
    heading = new QLabel(
        QLatin1Char(' ') + QString::fromUtf8(kSetupSections[static_cast<size_t>(section)].key),
        page);
    heading->setObjectName(QStringLiteral("lbl_TabTitle%1").arg(section));
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    heading->setMinimumHeight(20);
    column->addWidget(heading);
    return column;
}
}  // namespace

QWidget* UiSetupWindow::buildStartTab() {
    auto* page = new QWidget;
    QVBoxLayout* column = tabPage(page, lbl_TabTitle[0], 0);
    chk_Autostart =
        makeCheck(QStringLiteral("Automatisches Öffnen eines Katalogs nach Programmstart"), page,
                  "chk_Autostart");
    txt_Autostart = named(new QLineEdit(page), "txt_Autostart");
    but_source = named(new QPushButton(QStringLiteral("..."), page), "but_source");
    but_source->setFixedWidth(32);
    but_source->setAutoDefault(false);
    chk_Switch2Autostart = makeCheck(QStringLiteral("Nach Schließen dieses Fensters sofort laden."),
                                     page, "chk_Switch2Autostart");
    opt_AutoCopyRange = named(
        new QRadioButton(QStringLiteral("Automatisches Sichern einer Auswahl von Dateien"), page),
        "opt_AutoCopyRange");
    txt_AutoCopyRange = named(new QLineEdit(page), "txt_AutoCopyRange");
    opt_AutoCopyAll =
        named(new QRadioButton(QStringLiteral("Automatisches Sichern aller Dateien"), page),
              "opt_AutoCopyAll");
    // The two options are independent of each other.
    for (QRadioButton* option : {opt_AutoCopyRange, opt_AutoCopyAll})
        option->setAutoExclusive(false);

    column->addWidget(chk_Autostart);
    auto* pathRow = new QHBoxLayout;
    pathRow->setContentsMargins(20, 0, 0, 0);
    pathRow->addWidget(txt_Autostart, 1);
    pathRow->addWidget(but_source);
    column->addLayout(pathRow);
    auto* switchRow = new QHBoxLayout;
    switchRow->setContentsMargins(20, 0, 0, 0);
    switchRow->addWidget(chk_Switch2Autostart);
    column->addLayout(switchRow);
    column->addSpacing(10);
    column->addWidget(opt_AutoCopyRange);
    auto* rangeRow = new QHBoxLayout;
    rangeRow->setContentsMargins(20, 0, 0, 0);
    rangeRow->addWidget(makeLabel(QStringLiteral("Text:"), page));
    rangeRow->addWidget(txt_AutoCopyRange, 1);
    column->addLayout(rangeRow);
    column->addWidget(opt_AutoCopyAll);
    column->addStretch(1);
    return page;
}

QWidget* UiSetupWindow::buildDefaultsTab() {
    auto* page = new QWidget;
    QVBoxLayout* column = tabPage(page, lbl_TabTitle[1], 1);
    chk_StandardSicherungsverzeichnis = makeCheck(QStringLiteral("Standard-Sicherungsverzeichnis"),
                                                  page, "chk_StandardSicherungsverzeichnis");
    txt_StandardSicherungsverzeichnis =
        named(new QLineEdit(page), "txt_StandardSicherungsverzeichnis");
    drv_Drive = named(new QComboBox(page), "drv_Drive");
    drv_Drive->setToolTip(QStringLiteral("Auswahl des Laufwerks."));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady()) drv_Drive->addItem(volume.rootPath());
    dir_Directory = named(new QTreeView(page), "dir_Directory");
    dir_DirectoryModel = new QFileSystemModel(window_);
    dir_DirectoryModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    dir_DirectoryModel->setRootPath(QStringLiteral("/"));
    dir_Directory->setModel(dir_DirectoryModel);
    for (int c = 1; c < dir_DirectoryModel->columnCount(); ++c) dir_Directory->hideColumn(c);
    dir_Directory->header()->hide();
    dir_Directory->setMinimumHeight(90);
    chk_UseOrigPath =
        makeCheck(QStringLiteral("Benutze Original-Pfadinformationen beim archivieren."), page,
                  "chk_UseOrigPath");
    chk_DeletePathAfterDelLocalFile =
        makeCheck(QStringLiteral("Nach Löschen einer lokalen Datei: Leere Pfade rekursiv löschen."),
                  page, "chk_DeletePathAfterDelLocalFile");
    chk_DeleteItemshAfterDelLocalFile =
        makeCheck(QStringLiteral("Dateien aus dem Archiv entfernen."), page,
                  "chk_DeleteItemshAfterDelLocalFile");
    chk_AutoUpdate =
        makeCheck(QStringLiteral("Automatisches Archiv-Update nach:"), page, "chk_AutoUpdate");
    txt_AutoUpdate = named(new QLineEdit(page), "txt_AutoUpdate");
    txt_AutoUpdate->setFixedWidth(70);
    // Typing is filtered key by key; the validator keeps pasted letters out as well.
    txt_AutoUpdate->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9.]*")), txt_AutoUpdate));
    but_SetExtension2Registry = named(
        new QPushButton(QStringLiteral("Dateiendung 'bvk' mit dieser Anwendung assoziieren"), page),
        "but_SetExtension2Registry");
    but_SetKontextMenu = named(
        new QPushButton(QStringLiteral("Bravel in Kontext-Menu für Dateien aufnehmen."), page),
        "but_SetKontextMenu");
    // The way back from the two buttons above: removes the files they wrote.
    but_RemoveDesktopEntries =
        named(new QPushButton(QStringLiteral("Desktop-Einträge entfernen"), page),
              "but_RemoveDesktopEntries");
    for (QPushButton* button :
         {but_SetExtension2Registry, but_SetKontextMenu, but_RemoveDesktopEntries})
        button->setAutoDefault(false);
    txt_KontextText =
        named(new QLineEdit(QStringLiteral("zu Bravel hinzufügen..."), page), "txt_KontextText");

    column->addWidget(chk_StandardSicherungsverzeichnis);
    auto* folderGrid = new QGridLayout;
    folderGrid->setContentsMargins(20, 0, 0, 0);
    folderGrid->addWidget(txt_StandardSicherungsverzeichnis, 0, 0, 1, 2);
    folderGrid->addWidget(drv_Drive, 1, 0, Qt::AlignTop);
    folderGrid->addWidget(dir_Directory, 1, 1);
    folderGrid->setColumnStretch(1, 1);
    column->addLayout(folderGrid, 1);
    column->addWidget(chk_UseOrigPath);
    column->addWidget(chk_DeletePathAfterDelLocalFile);
    auto* itemsRow = new QHBoxLayout;
    itemsRow->setContentsMargins(20, 0, 0, 0);
    itemsRow->addWidget(chk_DeleteItemshAfterDelLocalFile);
    column->addLayout(itemsRow);
    auto* updateRow = new QHBoxLayout;
    updateRow->addWidget(chk_AutoUpdate);
    updateRow->addWidget(txt_AutoUpdate);
    updateRow->addWidget(makeLabel(QStringLiteral("Millisekunden."), page));
    updateRow->addStretch(1);
    column->addLayout(updateRow);
    auto* associationRow = new QHBoxLayout;
    associationRow->addWidget(but_SetExtension2Registry);
    associationRow->addWidget(but_RemoveDesktopEntries);
    column->addLayout(associationRow);
    auto* contextRow = new QHBoxLayout;
    contextRow->addWidget(but_SetKontextMenu);
    contextRow->addWidget(txt_KontextText, 1);
    column->addLayout(contextRow);
    return page;
}

QWidget* UiSetupWindow::buildViewTab() {
    auto* page = new QWidget;
    QVBoxLayout* column = tabPage(page, lbl_TabTitle[2], 2);
    lst_SetupMenuItems = named(new QListWidget(page), "lst_SetupMenuItems");
    lst_SetupMenuItems->setSelectionMode(QAbstractItemView::MultiSelection);
    lst_SetupMenuItems->setToolTip(QStringLiteral("Änderungen für markierte Menueinträge"));
    lst_SetupMenuItems->setFixedWidth(120);
    lbl_FontClearName = makeLabel(QString(), page, "lbl_FontClearName");
    lbl_FontClearName->setFrameShape(QFrame::StyledPanel);
    lbl_FontClearName->setMinimumWidth(140);
    but_SelectFont = named(new QPushButton(page), "but_SelectFont");
    but_SelectFont->setAutoDefault(false);
    pic_FontColor = makeSwatch(page, "pic_FontColor");
    pic_FontColorHintergrund = makeSwatch(page, "pic_FontColorHintergrund");
    pic_Fensterhintergrundfarbe = makeSwatch(page, "pic_Fensterhintergrundfarbe");
    pic_Systemfarbe = makeSwatch(page, "pic_Systemfarbe");
    pic_backcolor = makeSwatch(page, "pic_backcolor");
    pic_ButtonColor = makeSwatch(page, "pic_ButtonColor");
    lst_SavedColors = named(new QListWidget(page), "lst_SavedColors");
    lst_SavedColors->setFixedWidth(100);
    for (size_t i = 0; i < but_UnDo.size(); ++i) {
        but_UnDo[i] = new QPushButton(QStringLiteral("rückgängig"), page);
        but_UnDo[i]->setObjectName(QStringLiteral("but_UnDo(%1)").arg(i));
        but_UnDo[i]->setAutoDefault(false);
    }
    chk_AutoSpaltebreite =
        makeCheck(QStringLiteral("Automatische Spaltenbreite"), page, "chk_AutoSpaltebreite");
    chk_FullRowSelect =
        makeCheck(QStringLiteral("Ganze Reihe markieren"), page, "chk_FullRowSelect");
    chk_ShowToolTip =
        makeCheck(QStringLiteral("Zeige Tooltip für Einträge"), page, "chk_ShowToolTip");
    sld_ToolTipTransparenz = named(new QSlider(Qt::Horizontal, page), "sld_ToolTipTransparenz");
    sld_ToolTipTransparenz->setRange(0, 255);

    // Menu labels: the font and the two colours act on the selected menu entries.
    auto* menuGrid = new QGridLayout;
    menuGrid->addWidget(lst_SetupMenuItems, 0, 0, 4, 1);
    menuGrid->addWidget(lbl_FontClearName, 0, 1);
    menuGrid->addWidget(but_SelectFont, 0, 2);
    menuGrid->addWidget(but_UnDo[5], 0, 3);
    menuGrid->addWidget(makeLabel(QStringLiteral("Schriftfarbe"), page), 1, 1);
    menuGrid->addWidget(pic_FontColor, 1, 2);
    menuGrid->addWidget(but_UnDo[3], 1, 3);
    menuGrid->addWidget(makeLabel(QStringLiteral("Hintergrundfarbe"), page), 2, 1);
    menuGrid->addWidget(pic_FontColorHintergrund, 2, 2);
    menuGrid->addWidget(but_UnDo[4], 2, 3);
    column->addLayout(menuGrid);

    auto* colourGrid = new QGridLayout;
    colourGrid->addWidget(lst_SavedColors, 0, 0, 5, 1);
    colourGrid->addWidget(makeLabel(QStringLiteral("Fensterhintergrundfarbe"), page), 0, 1);
    colourGrid->addWidget(pic_Fensterhintergrundfarbe, 0, 2);
    colourGrid->addWidget(but_UnDo[0], 0, 3);
    colourGrid->addWidget(makeLabel(QStringLiteral("Systemfarbe"), page), 1, 1);
    colourGrid->addWidget(pic_Systemfarbe, 1, 2);
    colourGrid->addWidget(but_UnDo[6], 1, 3);
    colourGrid->addWidget(makeLabel(QStringLiteral("Listenfarbe"), page), 2, 1);
    colourGrid->addWidget(pic_backcolor, 2, 2);
    colourGrid->addWidget(but_UnDo[1], 2, 3);
    colourGrid->addWidget(makeLabel(QStringLiteral("Schaltflächenfarbe"), page), 3, 1);
    colourGrid->addWidget(pic_ButtonColor, 3, 2);
    colourGrid->addWidget(but_UnDo[2], 3, 3);
    colourGrid->addWidget(but_UnDo[7], 4, 3);
    column->addLayout(colourGrid);

    auto* listRow = new QHBoxLayout;
    listRow->addWidget(chk_AutoSpaltebreite);
    listRow->addWidget(chk_FullRowSelect);
    listRow->addStretch(1);
    column->addLayout(listRow);
    auto* tipRow = new QHBoxLayout;
    tipRow->addWidget(chk_ShowToolTip);
    tipRow->addWidget(makeLabel(QStringLiteral("(Transparenz: max"), page));
    tipRow->addWidget(sld_ToolTipTransparenz, 1);
    tipRow->addWidget(makeLabel(QStringLiteral("min)"), page));
    column->addLayout(tipRow);
    chk_WarnOldBackup = makeCheck(QStringLiteral("Warnen, wenn die letzte Sicherung älter ist als"),
                                  page, "chk_WarnOldBackup");
    txt_WarnOldBackup = named(new QSpinBox(page), "txt_WarnOldBackup");
    txt_WarnOldBackup->setRange(1, keys::kMostWarnDays);
    auto* warnRow = new QHBoxLayout;
    warnRow->addWidget(chk_WarnOldBackup);
    warnRow->addWidget(txt_WarnOldBackup);
    warnRow->addWidget(makeLabel(QStringLiteral("Tage"), page));
    warnRow->addStretch(1);
    column->addLayout(warnRow);
    column->addStretch(1);
    return page;
}

QWidget* UiSetupWindow::buildRunTab() {
    auto* page = new QWidget;
    QVBoxLayout* column = tabPage(page, lbl_TabTitle[3], 3);
    chk_AfterJob = makeCheck(QStringLiteral("Nach dem Kopiervorgang erledigt Bravel folgendes:"),
                             page, "chk_AfterJob");
    cbo_AfterJob = named(new QComboBox(page), "cbo_AfterJob");
    chk_ShowStatus = makeCheck(
        QStringLiteral("Während des Kopiervorgangs das aktuelle Statusfenster einblenden."), page,
        "chk_ShowStatus");
    column->addWidget(chk_AfterJob);
    auto* actionRow = new QHBoxLayout;
    actionRow->setContentsMargins(20, 0, 0, 0);
    actionRow->addWidget(cbo_AfterJob, 1);
    column->addLayout(actionRow);
    auto* note = makeLabel(
        QStringLiteral("(Wird nicht durchgeführt, wenn automatische Sicherung aktiviert ist.)"),
        page);
    note->setContentsMargins(20, 0, 0, 0);
    column->addWidget(note);
    column->addSpacing(10);
    column->addWidget(chk_ShowStatus);
    chk_ChangedOnly =
        makeCheck(QStringLiteral("Nur geänderte Dateien sichern (gleiche Größe und gleiches Datum: "
                                 "keine neue Kopie)."),
                  page, "chk_ChangedOnly");
    chk_VerifyCopies =
        makeCheck(QStringLiteral("Kopien prüfen (vom Datenträger zurücklesen und vergleichen)."),
                  page, "chk_VerifyCopies");
    chk_KeepVersions = makeCheck(QStringLiteral("Ältere Versionen behalten, je Datei höchstens:"),
                                 page, "chk_KeepVersions");
    txt_KeepVersions = named(new QSpinBox(page), "txt_KeepVersions");
    txt_KeepVersions->setRange(1, keys::kMostVersionsKept);
    column->addSpacing(10);
    column->addWidget(chk_ChangedOnly);
    column->addWidget(chk_VerifyCopies);
    auto* versionRow = new QHBoxLayout;
    versionRow->addWidget(chk_KeepVersions);
    versionRow->addWidget(txt_KeepVersions);
    versionRow->addStretch(1);
    column->addLayout(versionRow);
    column->addStretch(1);
    return page;
}

}  // namespace bravel
