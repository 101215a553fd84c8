#include "settings/frm_setup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeView>

#include "base/AppValues.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "settings/AppearanceTarget.h"
#include "settings/DesktopIntegration.h"
#include "settings/SettingKeys.h"
#include "settings/SetupAppearance.h"
#include "settings/SetupDialogs.h"

namespace bravel {

namespace {

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

// A text box that is usable only with its check box shows the window colour, else the face.
void enableTextBox(QLineEdit* box, bool enabled) {
    box->setEnabled(enabled);
    QPalette colours = box->palette();
    colours.setColor(QPalette::Base,
                     QApplication::palette().color(enabled ? QPalette::Base : QPalette::Button));
    box->setPalette(colours);
}

QString dialogTitle(const char* what) {
    return gProductName + QString::fromUtf8(what);
}

}  // namespace

frm_setup::frm_setup(AppearanceTarget& target, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), target_(target), result_(kSetupExit) {
    setObjectName(QStringLiteral("frm_setup"));
    setWindowTitle(QStringLiteral("Setup"));
    setModal(true);
    appearance_ = std::make_unique<SetupAppearance>(target_);

    setupUi(this, this);
    connectControls();
    load();
}

frm_setup::~frm_setup() = default;

void frm_setup::connectControls() {
    connect(lst_setup, &QListWidget::currentRowChanged, tab_Setup, &QTabWidget::setCurrentIndex);
    connect(tab_Setup, &QTabWidget::currentChanged, lst_setup,
            [this](int index) { lst_setup->setCurrentRow(index); });
    connect(chk_Autostart, &QCheckBox::toggled, this, [this](bool ticked) {
        updateEnabledStates();
        // Ticking it for a missing path asks for the catalog; the load's own tick does not.
        if (loaded_ && ticked && txt_Autostart->text().isEmpty()) but_source->click();
    });
    connect(but_source, &QPushButton::clicked, this, &frm_setup::but_source_Click);
    connect(chk_StandardSicherungsverzeichnis, &QCheckBox::toggled, this,
            &frm_setup::updateEnabledStates);
    connect(chk_AfterJob, &QCheckBox::toggled, this, &frm_setup::updateEnabledStates);
    connect(chk_KeepVersions, &QCheckBox::toggled, this, &frm_setup::updateEnabledStates);
    connect(chk_WarnOldBackup, &QCheckBox::toggled, this, &frm_setup::updateEnabledStates);
    connect(opt_AutoCopyRange, &QRadioButton::toggled, this, &frm_setup::updateEnabledStates);
    connect(drv_Drive, &QComboBox::currentTextChanged, this, [this](const QString& root) {
        if (loaded_) pointDirectoryAt(root);
    });
    connect(
        dir_Directory->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex& current) {
            if (loaded_ && current.isValid())
                txt_StandardSicherungsverzeichnis->setText(dir_DirectoryModel->filePath(current));
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
    connect(but_SetExtension2Registry, &QPushButton::clicked, this,
            [] { but_SetExtension2Registry_Click(); });
    connect(but_SetKontextMenu, &QPushButton::clicked, this,
            [this] { but_SetKontextMenu_Click(txt_KontextText->text()); });
    connect(but_RemoveDesktopEntries, &QPushButton::clicked, this,
            [] { but_RemoveDesktopEntries_Click(); });
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
    if (!txt_StandardSicherungsverzeichnis->text().isEmpty())
        pointDirectoryAt(txt_StandardSicherungsverzeichnis->text());

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
    QScreen* screen = parentWidget() && parentWidget()->screen() ? parentWidget()->screen()
                                                                 : QGuiApplication::primaryScreen();
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
    const QModelIndex folder = dir_DirectoryModel->index(path);
    if (!folder.isValid()) return;
    dir_Directory->setCurrentIndex(folder);
    dir_Directory->scrollTo(folder);
}

// ---- appearance ----------------------------------------------------------------------------

void frm_setup::mColorTitleLabels() {
    for (QLabel* heading : lbl_TabTitle)
        paintColours(heading, gCaptionBackColor, gCaptionForeColor);
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
        if (lst_SetupMenuItems->item(row)->isSelected())
            names << lst_SetupMenuItems->item(row)->text();
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
    if (swatch == pic_FontColorHintergrund)
        appearance_->chooseFontBackColor(bgr, selectedMenuNames());
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
        QLineEdit* box = outcome.field == SetupField::Autostart ? txt_Autostart
                                                                : txt_StandardSicherungsverzeichnis;
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

void frm_setup::reject() {
    closeWith(kSetupExit);
}

bool frm_setup::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == txt_AutoUpdate && type == QEvent::KeyPress)
        return !acceptsAutoUpdateInput(static_cast<QKeyEvent*>(event)->text());

    if (watched == opt_AutoCopyRange || watched == opt_AutoCopyAll) {
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) return true;
        if (type == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            auto* option = static_cast<QRadioButton*>(watched);
            if (option->rect().contains(mouse->position().toPoint()))
                option->setChecked(mouse->button() == Qt::LeftButton);
            return true;
        }
    }

    auto* mouse = dynamic_cast<QMouseEvent*>(event);  // used only for mouse events
    if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
        if (watched == img_systemclose || watched == lbl_mnu_System) {
            closeWith(kSetupExit);
            return true;
        }
        if (auto* swatch = qobject_cast<QLabel*>(watched);
            swatch && swatch->objectName().startsWith(QLatin1String("pic_"))) {
            pickColour(swatch);
            return true;
        }
    }
    if (watched == lbl_caption || watched == lbl_icon) {
        if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
            drag_.handle(lbl_caption, event);
            return true;
        }
        if ((type == QEvent::MouseMove || type == QEvent::MouseButtonRelease) &&
            drag_.handle(lbl_caption, event))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace bravel
