#include "backup/frm_restore.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "catalog/COLArchivFiles.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogState.h"
#include "platform/Dialogs.h"
#include "platform/Err.h"
#include "platform/FileSystem.h"
#include "platform/Formats.h"
#include "platform/UiNamed.h"

namespace bravel {
namespace {

// Exact: versions of one file often differ by a few bytes only.
QString sizeText(qint64 bytes) {
    return formatGrouped(static_cast<double>(bytes)) + QStringLiteral(" Bytes");
}

// Shows the copy's progress in the window's bar, letting the window paint now and then.
class BarProgress : public restore::RestoreObserver {
  public:
    explicit BarProgress(QProgressBar* bar) : bar_(bar) {}

  protected:
    void progressed(const CopyProgress& progress) override {
        if (progress.eventsRan) bar_->setValue(progress.fileValue());
    }

  private:
    QProgressBar* bar_;
};

// What the list calls a point: the backup copy by that word, a version by its own name (the stamp
// is in it).
QString pointName(const restore::RestorePoint& point) {
    return point.isBackupCopy ? QStringLiteral("Sicherungskopie")
                              : QFileInfo(point.path).fileName();
}

}  // namespace

frm_restore::frm_restore(const QString& source, const QString& backupFolder, QWidget* parent)
    : QDialog(parent), source_(source), backupFolder_(backupFolder) {
    setObjectName(QStringLiteral("frm_restore"));
    setWindowTitle(QStringLiteral("Wiederherstellen: ") + QFileInfo(source).fileName());
    setModal(true);
    buildControls();
    fillList();
}

void frm_restore::buildControls() {
    lbl_Source = named<QLabel>(this, "lbl_Source", QStringLiteral("Quelldatei: ") + source_);
    lbl_Source->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lst_Versions = named<QTreeWidget>(this, "lst_Versions");
    lst_Versions->setHeaderLabels(
        {QStringLiteral("Kopie"), QStringLiteral("Datum"), QStringLiteral("Größe")});
    lst_Versions->setRootIsDecorated(false);
    lst_Versions->setSelectionMode(QAbstractItemView::SingleSelection);
    lst_Versions->header()->setStretchLastSection(false);
    lst_Versions->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    opt_ToSource = named<QRadioButton>(this, "opt_ToSource",
                                       QStringLiteral("An den ursprünglichen Ort zurück"));
    opt_ToFolder =
        named<QRadioButton>(this, "opt_ToFolder", QStringLiteral("In einen anderen Ordner..."));
    opt_ToSource->setChecked(true);
    auto* where = new QButtonGroup(this);
    where->addButton(opt_ToSource);
    where->addButton(opt_ToFolder);
    pan_Restore = named<QProgressBar>(this, "pan_Restore");
    pan_Restore->setRange(0, 100);
    pan_Restore->setValue(0);
    lbl_Result = named<QLabel>(this, "lbl_Result");
    lbl_Result->setWordWrap(true);
    lbl_Result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    but_Restore = named<QPushButton>(this, "but_Restore", QStringLiteral("Wiederherstellen"));
    but_Restore->setDefault(true);
    but_exit = named<QPushButton>(this, "but_exit", QStringLiteral("Schließen"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(but_Restore);
    buttons->addWidget(but_exit);
    auto* root = new QVBoxLayout(this);
    root->addWidget(lbl_Source);
    root->addWidget(lst_Versions, 1);
    root->addWidget(opt_ToSource);
    root->addWidget(opt_ToFolder);
    root->addWidget(pan_Restore);
    root->addWidget(lbl_Result);
    root->addLayout(buttons);
    resize(560, 360);

    connect(but_Restore, &QPushButton::clicked, this, &frm_restore::but_Restore_Click);
    connect(but_exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(lst_Versions, &QTreeWidget::itemDoubleClicked, but_Restore, &QPushButton::click);
}

void frm_restore::fillList() {
    points_ = restore::restorePoints(source_, backupFolder_);
    lst_Versions->clear();
    for (const restore::RestorePoint& point : points_) {
        auto* item = new QTreeWidgetItem(
            lst_Versions,
            {pointName(point), formatGeneralDate(point.modified), sizeText(point.size)});
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(0, point.path);
    }
    if (!points_.empty()) lst_Versions->setCurrentItem(lst_Versions->topLevelItem(0));
    but_Restore->setEnabled(!points_.empty());
    if (points_.empty())
        lbl_Result->setText(QStringLiteral(
            "Es gibt keine Sicherungskopie und keine älteren Versionen dieser Datei."));
    lst_Versions->resizeColumnToContents(1);
    lst_Versions->resizeColumnToContents(2);
}

std::optional<QString> frm_restore::chooseFolder() {
    const std::optional<QString> folder =
        dialogs().browseFolder(QStringLiteral("Ordner für die wiederhergestellte Datei wählen"),
                               QFileInfo(source_).absolutePath());
    if (!folder || folder->isEmpty()) return std::nullopt;
    const QString target = restore::targetInFolder(*folder, source_);
    const bool replacesAnother =
        (fs::exists(target) || fs::isSymLink(target)) && !fs::isSameFile(target, source_);
    if (replacesAnother &&
        dialogs().messageBox(QStringLiteral("Im gewählten Ordner gibt es schon \"") +
                                 QFileInfo(target).fileName() +
                                 QStringLiteral("\". Soll sie ersetzt werden?"),
                             windowTitle(), MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
        return std::nullopt;
    return folder;
}

void frm_restore::but_Restore_Click() {
    const int chosen = lst_Versions->indexOfTopLevelItem(lst_Versions->currentItem());
    if (chosen < 0 || chosen >= static_cast<int>(points_.size())) return;
    const restore::RestorePoint point = points_[static_cast<size_t>(chosen)];
    std::optional<QString> folder;
    if (opt_ToFolder->isChecked()) {
        folder = chooseFolder();
        if (!folder) return;
    }

    lbl_Result->setText(QStringLiteral("Wird wiederhergestellt..."));
    for (QWidget* control : std::initializer_list<QWidget*>{lst_Versions, opt_ToSource,
                                                            opt_ToFolder, but_Restore, but_exit})
        control->setEnabled(false);
    pan_Restore->setValue(0);
    BarProgress progress(pan_Restore);
    const restore::RestoreResult result =
        folder ? restore::restoreToFolder(point, *folder, source_, backupFolder_, progress)
               : restore::restoreToSource(point, source_, backupFolder_, progress);
    for (QWidget* control :
         std::initializer_list<QWidget*>{lst_Versions, opt_ToSource, opt_ToFolder, but_exit})
        control->setEnabled(true);
    fillList();
    showResult(result);
    if (result.outcome == restore::RestoreOutcome::Restored) emit restored();
}

void frm_restore::showResult(const restore::RestoreResult& result) {
    switch (result.outcome) {
        case restore::RestoreOutcome::Restored:
            pan_Restore->setValue(100);
            lbl_Result->setText(
                QStringLiteral("Wiederhergestellt: ") + result.target +
                (result.keptVersion.isEmpty()
                     ? QString()
                     : QStringLiteral("\nDie bisherige Datei ist als ältere Version behalten: ") +
                           QFileInfo(result.keptVersion).fileName()));
            break;
        case restore::RestoreOutcome::Identical:
            pan_Restore->setValue(0);
            lbl_Result->setText(QStringLiteral(
                "Die Datei stimmt schon mit der gewählten Kopie überein; nichts wurde "
                "geändert."));
            break;
        case restore::RestoreOutcome::Failed:
            pan_Restore->setValue(0);
            lbl_Result->setText(
                QStringLiteral("Wiederherstellen fehlgeschlagen; nichts wurde ersetzt. Der Grund "
                               "steht im Fehlerstack."));
            break;
    }
}

void openRestoreWindow(CatalogController& controller, QWidget* parent) {
    const std::vector<int> rows = controller.model().selectedRows();
    if (rows.size() != 1 || !gIdle) return;
    const int row = rows.front();
    const auto entry =
        gCatalogFiles.Item(CatalogListModel::indexFromKey(controller.model().row(row).key));
    if (!entry) {
        Err.Clear();
        return;
    }
    controller.stopTimers();
    gIdle = false;
    controller.mEnableControls();
    frm_restore window(entry->acSourceFile(), entry->acTagetPath(), parent);
    QObject::connect(&window, &frm_restore::restored, &window,
                     [&controller, row] { controller.refillRow(row); });
    window.exec();
    gIdle = true;
    controller.restoreTimers();
}

}  // namespace bravel
