#include "settings/frm_setup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QStorageInfo>
#include <QStyle>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWindow>

#include "app/AppValues.h"
#include "app/ApplySetup.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "settings/AppearanceTarget.h"
#include "settings/DesktopIntegration.h"
#include "settings/SettingKeys.h"
#include "settings/SetupAppearance.h"
#include "settings/SetupDialogs.h"

namespace bravel {

namespace {

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromUtf8(name));
    return widget;
}

QLabel* makeLabel(const QString& text, QWidget* parent, const char* name = nullptr) {
    auto* label = new QLabel(text, parent);
    if (name) label->setObjectName(QString::fromUtf8(name));
    return label;
}

QCheckBox* makeCheck(const QString& text, QWidget* parent, const char* name) {
    return named(new QCheckBox(text, parent), name);
}

void paintColours(QWidget* widget, qint64 back, qint64 fore) {
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, colorFromBgr(back));
    colours.setColor(QPalette::WindowText, colorFromBgr(fore));
    widget->setPalette(colours);
    widget->setAutoFillBackground(true);
}

void paintSwatch(QLabel* swatch, qint64 bgr) {
    swatch->setProperty("bgr", bgr);
    QPalette colours = swatch->palette();
    colours.setColor(QPalette::Window, colorFromBgr(bgr));
    swatch->setPalette(colours);
    swatch->setAutoFillBackground(true);
}

QLabel* makeSwatch(QWidget* parent, const char* name) {
    auto* swatch = makeLabel(QString(), parent, name);
    swatch->setFrameShape(QFrame::Box);
    swatch->setFixedSize(36, 20);
    swatch->setCursor(Qt::PointingHandCursor);
    return swatch;
}

// A text box that is usable only with its check box shows the window colour, else the face.
void enableTextBox(QLineEdit* box, bool enabled) {
    box->setEnabled(enabled);
    QPalette colours = box->palette();
    colours.setColor(QPalette::Base, QApplication::palette().color(enabled ? QPalette::Base : QPalette::Button));
    box->setPalette(colours);
}

QString dialogTitle(const char* what) { return gProductName + QString::fromUtf8(what); }

}  // namespace

frm_setup::frm_setup(AppearanceTarget& target, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), target_(target), result_(kSetupExit) {
    setObjectName(QStringLiteral("frm_setup"));
    setWindowTitle(QStringLiteral("Setup"));
    setModal(true);
    appearance_ = std::make_unique<SetupAppearance>(target_);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(2, 2, 2, 6);
    root->addWidget(buildTitleBar());

    auto* body = new QHBoxLayout;
    lst_setup = named(new QListWidget(this), "lst_setup");
    QFont bold = lst_setup->font();
    bold.setBold(true);
    lst_setup->setFont(bold);
    lst_setup->setFixedWidth(140);
    tab_Setup = named(new QTabWidget(this), "tab_Setup");
    tab_Setup->addTab(buildStartTab(), QString::fromUtf8(kSetupSections[0].key));
    tab_Setup->addTab(buildDefaultsTab(), QString::fromUtf8(kSetupSections[1].key));
    tab_Setup->addTab(buildViewTab(), QString::fromUtf8(kSetupSections[2].key));
    tab_Setup->addTab(buildRunTab(), QString::fromUtf8(kSetupSections[3].key));
    body->addWidget(lst_setup);
    body->addWidget(tab_Setup, 1);
    root->addLayout(body, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    but_ok = named(new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this), "but_ok");
    but_exit = named(new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Exit"), this),
                     "but_exit");
    but_ok->setAutoDefault(false);
    but_exit->setAutoDefault(false);
    buttons->addWidget(but_ok);
    buttons->addWidget(but_exit);
    root->addLayout(buttons);

    connectControls();
    load();
}

frm_setup::~frm_setup() = default;

// ---- building ------------------------------------------------------------------------------

QWidget* frm_setup::buildTitleBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    lbl_icon = makeLabel(QString(), bar, "lbl_icon");
    const QIcon icon = windowIcon().isNull() ? style()->standardIcon(QStyle::SP_DriveHDIcon) : windowIcon();
    lbl_icon->setPixmap(icon.pixmap(16, 16));
    lbl_icon->setContentsMargins(3, 2, 3, 2);
    lbl_caption = makeLabel(QString(6, QLatin1Char(' ')) + QStringLiteral("SETUP"), bar, "lbl_caption");
    QFont captionFont = lbl_caption->font();
    captionFont.setBold(true);
    lbl_caption->setFont(captionFont);
    lbl_caption->setMinimumHeight(22);
    img_systemclose = makeLabel(QString(), bar, "img_systemclose");
    img_systemclose->setPixmap(style()->standardIcon(QStyle::SP_TitleBarCloseButton).pixmap(14, 14));
    img_systemclose->setContentsMargins(3, 2, 3, 2);
    lbl_mnu_System = makeLabel(QStringLiteral(" ✕ "), bar, "lbl_mnu_System");
    lbl_mnu_System->setToolTip(QStringLiteral("Programm verlassen (ESC)"));
    row->addWidget(lbl_icon);
    row->addWidget(lbl_caption, 1);
    row->addWidget(img_systemclose);
    row->addWidget(lbl_mnu_System);
    for (QLabel* label : {lbl_icon, lbl_caption, img_systemclose, lbl_mnu_System}) label->installEventFilter(this);
    return bar;
}

namespace {
QVBoxLayout* tabPage(QWidget* page, QLabel*& heading, int section) {
    auto* column = new QVBoxLayout(page);
    heading = new QLabel(QLatin1Char(' ') + QString::fromUtf8(kSetupSections[static_cast<size_t>(section)].key), page);
    heading->setObjectName(QStringLiteral("lbl_TabTitle%1").arg(section));
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    heading->setMinimumHeight(20);
    column->addWidget(heading);
    return column;
}
}  // namespace

QWidget* frm_setup::buildStartTab() {
    auto* page = new QWidget;
    QVBoxLayout* column = tabPage(page, lbl_TabTitle[0], 0);
    chk_Autostart = makeCheck(QStringLiteral("Automatisches Öffnen eines Katalogs nach Programmstart"), page, "chk_Autostart");
    txt_Autostart = named(new QLineEdit(page), "txt_Autostart");
    but_source = named(new QPushButton(QStringLiteral("..."), page), "but_source");
    but_source->setFixedWidth(32);
    but_source->setAutoDefault(false);
    chk_Switch2Autostart = makeCheck(QStringLiteral("Nach Schließen dieses Fensters sofort laden."), page, "chk_Switch2Autostart");
    opt_AutoCopyRange = named(new QRadioButton(QStringLiteral("Automatisches Sichern einer Auswahl von Dateien"), page),
                              "opt_AutoCopyRange");
    txt_AutoCopyRange = named(new QLineEdit(page), "txt_AutoCopyRange");
    opt_AutoCopyAll = named(new QRadioButton(QStringLiteral("Automatisches Sichern aller Dateien"), page), "opt_AutoCopyAll");
    // The two options are independent of each other.
    for (QRadioButton* option : {opt_AutoCopyRange, opt_AutoCopyAll}) {
        option->setAutoExclusive(false);
        option->installEventFilter(this);
    }

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

QWidget* frm_setup::buildDefaultsTab() {
    auto* page = new QWidget;
    QVBoxLayout* column = tabPage(page, lbl_TabTitle[1], 1);
    chk_StandardSicherungsverzeichnis =
        makeCheck(QStringLiteral("Standard-Sicherungsverzeichnis"), page, "chk_StandardSicherungsverzeichnis");
    txt_StandardSicherungsverzeichnis = named(new QLineEdit(page), "txt_StandardSicherungsverzeichnis");
    drv_Drive = named(new QComboBox(page), "drv_Drive");
    drv_Drive->setToolTip(QStringLiteral("Auswahl des Laufwerks."));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady()) drv_Drive->addItem(volume.rootPath());
    dir_Directory = named(new QTreeView(page), "dir_Directory");
    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folders_->setRootPath(QStringLiteral("/"));
    dir_Directory->setModel(folders_);
    for (int c = 1; c < folders_->columnCount(); ++c) dir_Directory->hideColumn(c);
    dir_Directory->header()->hide();
    dir_Directory->setMinimumHeight(90);
    chk_UseOrigPath = makeCheck(QStringLiteral("Benutze Original-Pfadinformationen beim archivieren."), page, "chk_UseOrigPath");
    chk_DeletePathAfterDelLocalFile = makeCheck(
        QStringLiteral("Nach Löschen einer lokalen Datei: Leere Pfade rekursiv löschen."), page, "chk_DeletePathAfterDelLocalFile");
    chk_DeleteItemshAfterDelLocalFile =
        makeCheck(QStringLiteral("Dateien aus dem Archiv entfernen."), page, "chk_DeleteItemshAfterDelLocalFile");
    chk_AutoUpdate = makeCheck(QStringLiteral("Automatisches Archiv-Update nach:"), page, "chk_AutoUpdate");
    txt_AutoUpdate = named(new QLineEdit(page), "txt_AutoUpdate");
    txt_AutoUpdate->setFixedWidth(70);
    // Typing is filtered key by key; the validator keeps pasted letters out as well.
    txt_AutoUpdate->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), txt_AutoUpdate));
    txt_AutoUpdate->installEventFilter(this);
    but_SetExtension2Registry =
        named(new QPushButton(QStringLiteral("Dateiendung 'bvk' mit dieser Anwendung assoziieren"), page), "but_SetExtension2Registry");
    but_SetKontextMenu =
        named(new QPushButton(QStringLiteral("Bravel in Kontext-Menu für Dateien aufnehmen."), page), "but_SetKontextMenu");
    // The way back from the two buttons above: removes the files they wrote.
    but_RemoveDesktopEntries =
        named(new QPushButton(QStringLiteral("Desktop-Einträge entfernen"), page), "but_RemoveDesktopEntries");
    for (QPushButton* button : {but_SetExtension2Registry, but_SetKontextMenu, but_RemoveDesktopEntries})
        button->setAutoDefault(false);
    txt_KontextText = named(new QLineEdit(QStringLiteral("zu Bravel hinzufügen..."), page), "txt_KontextText");

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

QWidget* frm_setup::buildViewTab() {
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
    for (QLabel* swatch : {pic_FontColor, pic_FontColorHintergrund, pic_Fensterhintergrundfarbe, pic_Systemfarbe,
                           pic_backcolor, pic_ButtonColor})
        swatch->installEventFilter(this);
    lst_SavedColors = named(new QListWidget(page), "lst_SavedColors");
    lst_SavedColors->setFixedWidth(100);
    for (size_t i = 0; i < but_UnDo.size(); ++i) {
        but_UnDo[i] = new QPushButton(QStringLiteral("rückgängig"), page);
        but_UnDo[i]->setObjectName(QStringLiteral("but_UnDo(%1)").arg(i));
        but_UnDo[i]->setAutoDefault(false);
    }
    chk_AutoSpaltebreite = makeCheck(QStringLiteral("Automatische Spaltenbreite"), page, "chk_AutoSpaltebreite");
    chk_FullRowSelect = makeCheck(QStringLiteral("Ganze Reihe markieren"), page, "chk_FullRowSelect");
    chk_ShowToolTip = makeCheck(QStringLiteral("Zeige Tooltip für Einträge"), page, "chk_ShowToolTip");
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
    chk_WarnOldBackup = makeCheck(QStringLiteral("Warnen, wenn die letzte Sicherung älter ist als"), page,
                                  "chk_WarnOldBackup");
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

QWidget* frm_setup::buildRunTab() {
    auto* page = new QWidget;
    QVBoxLayout* column = tabPage(page, lbl_TabTitle[3], 3);
    chk_AfterJob = makeCheck(QStringLiteral("Nach dem Kopiervorgang erledigt Bravel folgendes:"), page, "chk_AfterJob");
    cbo_AfterJob = named(new QComboBox(page), "cbo_AfterJob");
    chk_ShowStatus = makeCheck(QStringLiteral("Während des Kopiervorgangs das aktuelle Statusfenster einblenden."), page,
                               "chk_ShowStatus");
    column->addWidget(chk_AfterJob);
    auto* actionRow = new QHBoxLayout;
    actionRow->setContentsMargins(20, 0, 0, 0);
    actionRow->addWidget(cbo_AfterJob, 1);
    column->addLayout(actionRow);
    auto* note = makeLabel(QStringLiteral("(Wird nicht durchgeführt, wenn automatische Sicherung aktiviert ist.)"), page);
    note->setContentsMargins(20, 0, 0, 0);
    column->addWidget(note);
    column->addSpacing(10);
    column->addWidget(chk_ShowStatus);
    chk_ChangedOnly = makeCheck(QStringLiteral("Nur geänderte Dateien sichern (gleiche Größe und gleiches Datum: "
                                               "keine neue Kopie)."),
                                page, "chk_ChangedOnly");
    chk_VerifyCopies = makeCheck(QStringLiteral("Kopien prüfen (vom Datenträger zurücklesen und vergleichen)."),
                                 page, "chk_VerifyCopies");
    chk_KeepVersions = makeCheck(QStringLiteral("Ältere Versionen behalten, je Datei höchstens:"), page,
                                 "chk_KeepVersions");
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

void frm_setup::connectControls() {
    connect(lst_setup, &QListWidget::currentRowChanged, tab_Setup, &QTabWidget::setCurrentIndex);
    connect(tab_Setup, &QTabWidget::currentChanged, lst_setup, [this](int index) { lst_setup->setCurrentRow(index); });
    connect(chk_Autostart, &QCheckBox::toggled, this, [this](bool ticked) {
        updateEnabledStates();
        // Ticking it for a missing path asks for the catalog; the load's own tick does not.
        if (loaded_ && ticked && txt_Autostart->text().isEmpty()) but_source->click();
    });
    connect(but_source, &QPushButton::clicked, this, &frm_setup::but_source_Click);
    connect(chk_StandardSicherungsverzeichnis, &QCheckBox::toggled, this, &frm_setup::updateEnabledStates);
    connect(chk_AfterJob, &QCheckBox::toggled, this, &frm_setup::updateEnabledStates);
    connect(chk_KeepVersions, &QCheckBox::toggled, this, &frm_setup::updateEnabledStates);
    connect(chk_WarnOldBackup, &QCheckBox::toggled, this, &frm_setup::updateEnabledStates);
    connect(opt_AutoCopyRange, &QRadioButton::toggled, this, &frm_setup::updateEnabledStates);
    connect(drv_Drive, &QComboBox::currentTextChanged, this, [this](const QString& root) {
        if (loaded_) pointDirectoryAt(root);
    });
    connect(dir_Directory->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (loaded_ && current.isValid()) txt_StandardSicherungsverzeichnis->setText(folders_->filePath(current));
            });
    connect(chk_FullRowSelect, &QCheckBox::toggled, this, [this](bool on) {
        if (loaded_) target_.setFullRowSelect(on);
    });
    connect(lst_SetupMenuItems, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        appearance_->showMenuLabel(item->data(Qt::UserRole).toString());
        showAppearance();
    });
    connect(lst_SavedColors, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        appearance_->mApplySchemeColors(item->data(Qt::UserRole).toString());
        showAppearance();
        colourOwnCaption();
    });
    connect(but_SelectFont, &QPushButton::clicked, this, &frm_setup::but_SelectFont_Click);
    for (size_t i = 0; i < but_UnDo.size(); ++i)
        connect(but_UnDo[i], &QPushButton::clicked, this, [this, i] {
            appearance_->undo(static_cast<int>(i), selectedMenuNames());
            showAppearance();
            colourOwnCaption();
        });
    connect(but_SetExtension2Registry, &QPushButton::clicked, this, [] { but_SetExtension2Registry_Click(); });
    connect(but_SetKontextMenu, &QPushButton::clicked, this, [this] { but_SetKontextMenu_Click(txt_KontextText->text()); });
    connect(but_RemoveDesktopEntries, &QPushButton::clicked, this, [] { but_RemoveDesktopEntries_Click(); });
    connect(but_ok, &QPushButton::clicked, this, &frm_setup::but_ok_Click);
    connect(but_exit, &QPushButton::clicked, this, [this] { closeWith(kSetupExit); });
}

// ---- opening -------------------------------------------------------------------------------

void frm_setup::load() {
    colourOwnCaption();
    showAppearance();
    cbo_AfterJob->addItems(afterJobActions());
    showValues(loadSetupValues());
    fullRowSelectAtOpen_ = target_.fullRowSelect();
    updateEnabledStates();
    if (!txt_StandardSicherungsverzeichnis->text().isEmpty()) pointDirectoryAt(txt_StandardSicherungsverzeichnis->text());

    for (const SetupSection& section : kSetupSections) {
        auto* item = new QListWidgetItem(QString::fromUtf8(section.name), lst_setup);
        item->setData(Qt::UserRole, QString::fromUtf8(section.key));
    }
    lst_setup->setCurrentRow(0);
    for (const SetupSection& entry : kSetupMenuItems) {
        auto* item = new QListWidgetItem(QString::fromUtf8(entry.name), lst_SetupMenuItems);
        item->setData(Qt::UserRole, QString::fromUtf8(entry.key));
    }
    lst_SetupMenuItems->setCurrentRow(0);
    lst_SetupMenuItems->item(0)->setSelected(true);
    for (const ColorScheme& scheme : kColorSchemes) {
        auto* item = new QListWidgetItem(QString::fromUtf8(scheme.name), lst_SavedColors);
        item->setData(Qt::UserRole, QString::fromUtf8(scheme.key));
    }
    lst_SavedColors->setCurrentRow(0);

    resize(680, 480);
    centreOnScreen();
    loaded_ = true;
}

void frm_setup::showValues(const SetupValues& v) {
    chk_Autostart->setChecked(v.autostart);
    txt_Autostart->setText(v.autostartPath);
    chk_Switch2Autostart->setChecked(v.switch2Autostart);
    opt_AutoCopyRange->setChecked(v.autoCopyRange);
    txt_AutoCopyRange->setText(v.autoCopyRangeText);
    opt_AutoCopyAll->setChecked(v.autoCopyAll);
    chk_StandardSicherungsverzeichnis->setChecked(v.standardFolderOn);
    txt_StandardSicherungsverzeichnis->setText(v.standardFolder);
    chk_UseOrigPath->setChecked(v.useOrigPath);
    chk_DeletePathAfterDelLocalFile->setChecked(v.deletePathAfterDelLocalFile);
    chk_DeleteItemshAfterDelLocalFile->setChecked(v.deleteItemsAfterDelLocalFile);
    chk_AutoUpdate->setChecked(v.autoUpdate);
    txt_AutoUpdate->setText(v.autoUpdateText);
    chk_AutoSpaltebreite->setChecked(v.autoColumnWidth);
    chk_FullRowSelect->setChecked(v.fullRowSelect);
    chk_ShowToolTip->setChecked(v.showToolTip);
    sld_ToolTipTransparenz->setValue(v.toolTipOpacity);
    chk_WarnOldBackup->setChecked(v.warnOldBackup);
    txt_WarnOldBackup->setValue(v.warnOldBackupDays);
    chk_AfterJob->setChecked(v.afterJob);
    cbo_AfterJob->setCurrentIndex(v.afterJobIndex);
    chk_ShowStatus->setChecked(v.showStatus);
    chk_ChangedOnly->setChecked(v.changedOnly);
    chk_VerifyCopies->setChecked(v.verifyCopies);
    chk_KeepVersions->setChecked(v.keepVersions);
    txt_KeepVersions->setValue(v.keepVersionsCount);
}

SetupValues frm_setup::controlValues() const {
    SetupValues v;
    v.autostart = chk_Autostart->isChecked();
    v.autostartPath = txt_Autostart->text();
    v.switch2Autostart = chk_Switch2Autostart->isChecked();
    v.autoCopyRange = opt_AutoCopyRange->isChecked();
    v.autoCopyRangeText = txt_AutoCopyRange->text();
    v.autoCopyAll = opt_AutoCopyAll->isChecked();
    v.standardFolderOn = chk_StandardSicherungsverzeichnis->isChecked();
    v.standardFolder = txt_StandardSicherungsverzeichnis->text();
    v.useOrigPath = chk_UseOrigPath->isChecked();
    v.deletePathAfterDelLocalFile = chk_DeletePathAfterDelLocalFile->isChecked();
    v.deleteItemsAfterDelLocalFile = chk_DeleteItemshAfterDelLocalFile->isChecked();
    v.autoUpdate = chk_AutoUpdate->isChecked();
    v.autoUpdateText = txt_AutoUpdate->text();
    v.autoColumnWidth = chk_AutoSpaltebreite->isChecked();
    v.fullRowSelect = chk_FullRowSelect->isChecked();
    v.showToolTip = chk_ShowToolTip->isChecked();
    v.toolTipOpacity = sld_ToolTipTransparenz->value();
    v.warnOldBackup = chk_WarnOldBackup->isChecked();
    v.warnOldBackupDays = txt_WarnOldBackup->value();
    v.afterJob = chk_AfterJob->isChecked();
    v.afterJobIndex = cbo_AfterJob->currentIndex();
    v.showStatus = chk_ShowStatus->isChecked();
    v.changedOnly = chk_ChangedOnly->isChecked();
    v.verifyCopies = chk_VerifyCopies->isChecked();
    v.keepVersions = chk_KeepVersions->isChecked();
    v.keepVersionsCount = txt_KeepVersions->value();
    return v;
}

void frm_setup::centreOnScreen() {
    QScreen* screen = parentWidget() && parentWidget()->screen() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void frm_setup::updateEnabledStates() {
    enableTextBox(txt_Autostart, chk_Autostart->isChecked());
    enableTextBox(txt_AutoCopyRange, opt_AutoCopyRange->isChecked());
    const bool standardFolder = chk_StandardSicherungsverzeichnis->isChecked();
    enableTextBox(txt_StandardSicherungsverzeichnis, standardFolder);
    drv_Drive->setEnabled(standardFolder);
    dir_Directory->setEnabled(standardFolder);
    cbo_AfterJob->setEnabled(chk_AfterJob->isChecked());
    txt_KeepVersions->setEnabled(chk_KeepVersions->isChecked());
    txt_WarnOldBackup->setEnabled(chk_WarnOldBackup->isChecked());
}

void frm_setup::pointDirectoryAt(const QString& path) {
    const QModelIndex folder = folders_->index(path);
    if (!folder.isValid()) return;
    dir_Directory->setCurrentIndex(folder);
    dir_Directory->scrollTo(folder);
}

// ---- appearance ----------------------------------------------------------------------------

void frm_setup::mColorTitleLabels() {
    for (QLabel* heading : lbl_TabTitle) paintColours(heading, gCaptionBackColor, gCaptionForeColor);
}

void frm_setup::colourOwnCaption() {
    for (QLabel* label : {lbl_icon, lbl_caption, img_systemclose, lbl_mnu_System})
        paintColours(label, gCaptionBackColor, gCaptionForeColor);
    mColorTitleLabels();
    paintSwatch(pic_Fensterhintergrundfarbe, gCaptionBackColor);
    paintSwatch(pic_Systemfarbe, gCaptionForeColor);
}

void frm_setup::showAppearance() {
    const QString name = appearance_->fontName;
    lbl_FontClearName->setText(QLatin1Char(' ') + name + QLatin1Char(' '));
    QFont font = lbl_FontClearName->font();
    font.setFamily(name);
    lbl_FontClearName->setFont(font);
    but_SelectFont->setText(name);
    paintSwatch(pic_FontColor, appearance_->fontColor);
    paintSwatch(pic_FontColorHintergrund, appearance_->fontBackColor);
    paintSwatch(pic_backcolor, appearance_->listColor);
    paintSwatch(pic_ButtonColor, appearance_->buttonColor);
}

QStringList frm_setup::selectedMenuNames() const {
    QStringList names;
    for (int row = 0; row < lst_SetupMenuItems->count(); ++row)
        if (lst_SetupMenuItems->item(row)->isSelected()) names << lst_SetupMenuItems->item(row)->text();
    return names;
}

void frm_setup::pickColour(QLabel* swatch) {
    DialogRequest request;
    request.title = dialogTitle(" - Farbe auswählen");
    request.flags = 2;  // the full dialog
    request.initialColor = static_cast<quint32>(swatch->property("bgr").toLongLong());
    const DialogChoice choice = mShowDialog(request, QStringLiteral("ShowColor"));
    if (!choice.ok) return;
    const qint64 bgr = choice.color;
    if (swatch == pic_FontColor) appearance_->chooseFontColor(bgr, selectedMenuNames());
    if (swatch == pic_FontColorHintergrund) appearance_->chooseFontBackColor(bgr, selectedMenuNames());
    if (swatch == pic_Fensterhintergrundfarbe) appearance_->chooseCaptionBackColor(bgr);
    if (swatch == pic_Systemfarbe) appearance_->chooseCaptionForeColor(bgr);
    if (swatch == pic_backcolor) appearance_->chooseListColor(bgr);
    if (swatch == pic_ButtonColor) appearance_->chooseButtonColor(bgr);
    showAppearance();
    colourOwnCaption();
}

void frm_setup::but_SelectFont_Click() {
    DialogRequest request;
    request.title = dialogTitle(" - Schrift auswählen");
    request.flags = 3;  // screen and printer fonts
    request.initialFont = lbl_FontClearName->font();
    const DialogChoice choice = mShowDialog(request, QStringLiteral("ShowFont"));
    if (!choice.ok) return;
    appearance_->chooseFont(choice.text, selectedMenuNames());
    showAppearance();
}

void frm_setup::but_source_Click() {
    DialogRequest request;
    request.useFilter = true;
    request.filter = QStringLiteral("Bravel-Kataloge (*.bvk)|*.bvk");
    request.title = dialogTitle(" - Datei auswählen");
    request.flags = 8;  // keep the current folder
    const DialogChoice choice = mShowDialog(request, QStringLiteral("ShowOpen"));
    if (choice.ok) txt_Autostart->setText(choice.text.trimmed());
}

// ---- closing -------------------------------------------------------------------------------

void frm_setup::but_ok_Click() {
    const SetupWriteOutcome outcome = writeSetupValues(controlValues());
    if (!outcome.accepted) {
        showMessage(outcome.message, gProductName, MsgIcon::Information);
        QLineEdit* box = outcome.field == SetupField::Autostart ? txt_Autostart : txt_StandardSicherungsverzeichnis;
        tab_Setup->setCurrentWidget(box->parentWidget());
        box->setFocus();
        return;
    }
    closeWith(kSetupOk);
}

void frm_setup::closeWith(const QString& result) {
    result_ = result;
    // Whole-row selection was changed live; leaving without OK keeps what the list had.
    if (result != kSetupOk) target_.setFullRowSelect(fullRowSelectAtOpen_);
    if (result == kSetupOk)
        QDialog::accept();
    else
        QDialog::reject();
}

void frm_setup::reject() { closeWith(kSetupExit); }

bool frm_setup::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == txt_AutoUpdate && type == QEvent::KeyPress)
        return !acceptsAutoUpdateInput(static_cast<QKeyEvent*>(event)->text());

    if (watched == opt_AutoCopyRange || watched == opt_AutoCopyAll) {
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) return true;
        if (type == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            auto* option = static_cast<QRadioButton*>(watched);
            if (option->rect().contains(mouse->position().toPoint())) option->setChecked(mouse->button() == Qt::LeftButton);
            return true;
        }
    }

    auto* mouse = dynamic_cast<QMouseEvent*>(event);  // used only for mouse events
    if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
        if (watched == img_systemclose || watched == lbl_mnu_System) {
            closeWith(kSetupExit);
            return true;
        }
        if (auto* swatch = qobject_cast<QLabel*>(watched); swatch && swatch->objectName().startsWith(QLatin1String("pic_"))) {
            pickColour(swatch);
            return true;
        }
    }
    if (watched == lbl_caption || watched == lbl_icon) {
        if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
            drag_.handle(lbl_caption, event);
            return true;
        }
        if ((type == QEvent::MouseMove || type == QEvent::MouseButtonRelease) && drag_.handle(lbl_caption, event))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace bravel
