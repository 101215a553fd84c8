#include "scan/frm_dscan.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWindow>

#include "base/AppValues.h"
#include "base/Prog.h"
#include "catalog/EntryWriter.h"
#include "listtools/ListExport.h"
#include "listtools/ListSearch.h"
#include "listtools/UiSearchBox.h"
#include "platform/Clock.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/Err.h"
#include "platform/Twips.h"
#include "scan/DirectoryWalk.h"

namespace bravel {
namespace {

const QString kCaption = QStringLiteral("Zezadaze Rodoraviz Edevedu");
constexpr int kMinimumWidthTwips = 4540;
constexpr int kMinimumHeightTwips = 3640;

// The scanner's list: a press on a row's check box only ticks that row (the tick selects it),
// and the right button leaves the selection alone (it opens the pop-up menu).
class ScanListView : public UiRowListView {
  public:
    using UiRowListView::UiRowListView;

  protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        if (event && (event->type() == QEvent::MouseButtonPress ||
                      event->type() == QEvent::MouseButtonRelease ||
                      event->type() == QEvent::MouseButtonDblClick)) {
            const auto* mouse = static_cast<const QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton ||
                onCheckBox(index, mouse->position().toPoint()))
                return QItemSelectionModel::NoUpdate;
        }
        return UiRowListView::selectionCommand(index, event);
    }

  private:
    bool onCheckBox(const QModelIndex& index, const QPoint& pos) const {
        if (!index.isValid() || index.column() != 0) return false;
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect = visualRect(index);
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        const QRect box =
            style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
        return box.adjusted(-2, -2, 2, 2).contains(pos);
    }
};

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QString withTrailingSlash(QString folder) {
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

}  // namespace

QString runScanner(QWidget* parent) {
    frm_dscan window(parent);
    window.exec();
    return window.scannerResult();
}

frm_dscan::frm_dscan(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frm_dscan"));
    setWindowTitle(kCaption);
    setModal(true);
    buildControls();
    layOutControls();
    connectControls();
    setMinimumSize(twipsToPixels(kMinimumWidthTwips), twipsToPixels(kMinimumHeightTwips));
    resize(twipsToPixels(7200), twipsToPixels(5400));
    // Load: the default export file, no folder yet, the one column, no cancel pending.
    setExportPath(withTrailingSlash(QCoreApplication::applicationDirPath()) +
                  QStringLiteral("export.txt"));
    lst_Files->setColumnWidth(0, std::max(20, width() - twipsToPixels(190)));
    gCancelScan = false;
    timr.start();
}

frm_dscan::~frm_dscan() = default;

void frm_dscan::buildControls() {
    lbl_caption = makeLabel(this, "lbl_caption", QString(6, QLatin1Char(' ')) + kCaption);
    QPalette colours = lbl_caption->palette();
    colours.setColor(QPalette::Window, colorFromBgr(gCaptionBackColor));
    colours.setColor(QPalette::WindowText, colorFromBgr(gCaptionForeColor));
    lbl_caption->setPalette(colours);
    lbl_caption->setAutoFillBackground(true);
    lbl_caption->setMinimumHeight(twipsToPixels(300));
    img_systemmaximize = makeLabel(this, "img_systemmaximize", QStringLiteral(" □ "));
    img_systemmaximize->setToolTip(QStringLiteral("Maximieren"));
    img_systemclose = makeLabel(this, "img_systemclose", QStringLiteral(" ✕ "));
    img_systemclose->setToolTip(QStringLiteral("Schließen"));
    for (QLabel* label : {img_systemmaximize, img_systemclose}) {
        label->setPalette(colours);
        label->setAutoFillBackground(true);
    }

    but_Dialog = makeButton(this, "but_Dialog", QStringLiteral("..."));
    but_Dialog->setToolTip(QStringLiteral("Verzeichnis wählen"));
    but_ScanDirectory = makeButton(this, "but_ScanDirectory", QStringLiteral("Scan Directory"));
    but_Cancel = makeButton(this, "but_Cancel", QString());
    but_Cancel->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    but_Cancel->setToolTip(QStringLiteral("Suche abbrechen"));
    but_OK = makeButton(this, "but_OK", QString());
    but_OK->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    but_OK->setToolTip(QStringLiteral("Markierte Dateien übernehmen"));
    but_exit = makeButton(this, "but_exit", QString());
    but_exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    but_exit->setToolTip(QStringLiteral("Schließen"));
    for (QPushButton* button : {but_Dialog, but_ScanDirectory, but_Cancel, but_OK, but_exit})
        button->setAutoDefault(false);

    model_.setColumns({ListColumn{QStringLiteral("Files"), 0, QString()}});
    lst_Files = new ScanListView(this);
    lst_Files->setObjectName(QStringLiteral("lst_Files"));
    lst_Files->setRootIsDecorated(false);
    lst_Files->setUniformRowHeights(true);
    lst_Files->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lst_Files->setSelectionBehavior(QAbstractItemView::SelectRows);
    lst_Files->showList(model_);
    lst_Files->header()->setStretchLastSection(false);
    lst_Files->viewport()->installEventFilter(this);

    txt_Suche = new QLineEdit(this);
    txt_Suche->setObjectName(QStringLiteral("txt_Suche"));
    stat_bar = new QStatusBar(this);
    stat_bar->setObjectName(QStringLiteral("stat_bar"));
    stat_bar->setSizeGripEnabled(true);
    stat_bar_panel1 = makeLabel(stat_bar, "stat_bar_panel1", QString());
    stat_bar_panel1->setToolTip(QStringLiteral("Exportdatei (Klick: andere Datei wählen)"));
    stat_bar_panel1->setFrameShape(QFrame::StyledPanel);
    stat_bar->addWidget(stat_bar_panel1);
    stat_bar_panel1->installEventFilter(this);

    timr.setObjectName(QStringLiteral("timr"));
    timr.setInterval(100);

    mnu = new QMenu(QStringLiteral("Menu"), this);
    mnu->setObjectName(QStringLiteral("mnu"));
    auto addAction = [](QMenu* menu, const char* name, const QString& text) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    mnu_Open = addAction(mnu, "mnu_Open", QStringLiteral("Öffnen"));
    QFont bold = mnu_Open->font();
    bold.setBold(true);
    mnu_Open->setFont(bold);
    mnu->setDefaultAction(mnu_Open);
    mnu_CopyTo = addAction(mnu, "mnu_CopyTo", QStringLiteral("Kopieren nach..."));
    mnu_export = mnu->addMenu(QStringLiteral("Export"));
    mnu_export->setObjectName(QStringLiteral("mnu_export"));
    mnu_export->menuAction()->setObjectName(QStringLiteral("mnu_export"));
    mnu_export2ascii = addAction(mnu_export, "mnu_export2ascii", QString());
    mnu_export2ascii_new = addAction(mnu_export, "mnu_export2ascii_new",
                                     QStringLiteral("markierten Text in Datei..."));
    mnu_export2clip = addAction(mnu_export, "mnu_export2clip",
                                QStringLiteral("markierten Text in Zwischenablage"));
    mnu_Delete = addAction(mnu, "mnu_Delete", QStringLiteral("Löschen(!)"));

    for (QLabel* label : {lbl_caption, img_systemmaximize, img_systemclose})
        label->installEventFilter(this);
}

void frm_dscan::layOutControls() {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(2, 2, 2, 0);
    root->setSpacing(3);
    root->addLayout(captionBar(lbl_caption, {img_systemmaximize, img_systemclose}));

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(but_Dialog, 1);
    folderRow->addWidget(but_ScanDirectory);
    folderRow->addWidget(but_Cancel);
    root->addLayout(folderRow);
    root->addWidget(lst_Files, 1);

    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(txt_Suche, 1);
    bottomRow->addWidget(but_OK);
    bottomRow->addWidget(but_exit);
    root->addLayout(bottomRow);
    root->addWidget(stat_bar);
}

void frm_dscan::connectControls() {
    connect(but_Dialog, &QPushButton::clicked, this, &frm_dscan::but_Dialog_Click);
    connect(but_ScanDirectory, &QPushButton::clicked, this, &frm_dscan::but_ScanDirectory_Click);
    connect(but_Cancel, &QPushButton::clicked, this, &frm_dscan::but_Cancel_Click);
    connect(but_OK, &QPushButton::clicked, this, &frm_dscan::but_OK_Click);
    connect(but_exit, &QPushButton::clicked, this, &frm_dscan::but_exit_Click);
    connect(mnu_export2ascii, &QAction::triggered, this, &frm_dscan::mnu_export2ascii_Click);
    connect(mnu_export2ascii_new, &QAction::triggered, this,
            &frm_dscan::mnu_export2ascii_new_Click);
    connect(mnu_export2clip, &QAction::triggered, this, &frm_dscan::mnu_export2clip_Click);
    // The scanner always searches every column; the current-row reference is the row added last.
    searchBox_ = new SearchBox(txt_Suche, [this](const QString& text) {
        if (gSearchList(model_, text, true) != SearchOutcome::Placeholder) lastAddedRow_ = -1;
    });
    // Ticks are drawn from the selection, so they already follow it; the tick repaints them.
    connect(&timr, &QTimer::timeout, this, [this] {
        if (lst_Files->isVisible()) lst_Files->viewport()->update();
    });
}

// ---- choosing and scanning ------------------------------------------------------------------

void frm_dscan::but_Dialog_Click() {
    Err.Clear();
    gCancelScan = false;
    but_Dialog->setEnabled(false);
    but_exit->setEnabled(false);
    stat_bar_panel1->setEnabled(false);
    const QString folder = gBrowseForFolder(QStringLiteral("qfn.brvl"));
    if (!folder.isEmpty()) {
        but_Dialog->setText(withTrailingSlash(folder));
        lastFolder_ = folder;
        but_ScanDirectory->click();  // the scan runs now
    }
    but_Dialog->setEnabled(true);
    but_Dialog->setText(QStringLiteral("..."));
    but_Dialog->setFocus();
    but_exit->setEnabled(true);
    stat_bar_panel1->setEnabled(true);
}

void frm_dscan::but_ScanDirectory_Click() {
    Err.Clear();
    model_.clearRows();
    model_.setColumnHeader(0, QStringLiteral("Files"));
    lst_Files->setCursor(Qt::WaitCursor);
    const QString folder = but_Dialog->text();
    if (folder != QLatin1String("...")) {
        found_.clear();
        gGetFiles(folder, QStringLiteral("*"), found_);
        // No events run while the rows are added, so one look at the flag covers every row.
        if (!gCancelScan && !found_.isEmpty()) {
            std::vector<ListRow> rows(static_cast<size_t>(found_.size()));
            for (int i = 0; i < found_.size(); ++i) {
                rows[static_cast<size_t>(i)].cells.push_back(found_[i]);
                rows[static_cast<size_t>(i)].colors.push_back(listcolor::kBlack);
            }
            model_.appendRows(std::move(rows));
            lastAddedRow_ = model_.rowCount() - 1;
        }
        model_.setColumnHeader(0, gCancelScan ? QStringLiteral("Dateien")
                                              : QString::number(found_.size()) +
                                                    QStringLiteral(" Dateien in ") + folder +
                                                    QStringLiteral("..."));
    }
    lst_Files->unsetCursor();
    if (model_.rowCount() > 0) {
        if (lastAddedRow_ >= 0) model_.setRowSelected(lastAddedRow_, false);
        model_.selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        lastAddedRow_ = -1;
    }
    gCancelScan = false;
    QCoreApplication::processEvents();
}

void frm_dscan::but_Cancel_Click() {
    gCancelScan = true;
}

// ---- taking over and closing ----------------------------------------------------------------

QString frm_dscan::takeOverText() const {
    QString text;
    for (int r = 0; r < model_.rowCount(); ++r)
        if (model_.isRowSelected(r)) text += model_.cell(r, 0) + QChar(0);
    return text;
}

bool frm_dscan::mTakeOverFiles() {
    Err.Clear();
    lst_Files->setEnabled(false);
    const QString text = takeOverText();
    bool result = false;
    if (!text.isEmpty()) {
        gSelectedFiles = gSplitMultiselectFiles(text, true);
        result = true;
    } else {
        showMessage(
            QStringLiteral(
                "Bitte markieren Sie die zu übernehmenden Dateien oder beenden Sie diesen Vorgang"),
            QFileInfo(QCoreApplication::applicationFilePath()).fileName(), MsgIcon::Information);
    }
    lst_Files->setEnabled(true);
    return result;
}

void frm_dscan::but_OK_Click() {
    if (mTakeOverFiles()) finish(QStringLiteral("OK"));
}

void frm_dscan::but_exit_Click() {
    finish(QStringLiteral("CANCEL"));
}

void frm_dscan::reject() {
    but_exit_Click();
}

void frm_dscan::finish(const QString& result) {
    result_ = result;
    timr.stop();
    QDialog::done(result == QLatin1String("OK") ? QDialog::Accepted : QDialog::Rejected);
}

// ---- exports --------------------------------------------------------------------------------

QString frm_dscan::exportPath() const {
    return stat_bar_panel1->text();
}

void frm_dscan::setExportPath(const QString& path) {
    stat_bar_panel1->setText(path);
    stat_bar_panel1->adjustSize();  // the panel sizes itself to its text
}

QString frm_dscan::exportBanner() {
    const QString line(36, QLatin1Char('#'));
    const QString gap(4, QLatin1Char(' '));
    const QString crlf = QStringLiteral("\r\n");
    return line + crlf + QStringLiteral("#") + gap + QStringLiteral("Treewalk(DirectoryScanner)") +
           crlf + QStringLiteral("#") + gap +
           QStringLiteral("(c) %1 %2").arg(now().date().year()).arg(gCompanyName) + crlf + line +
           crlf + crlf;
}

QString frm_dscan::selectedRowsText() const {
    QString text;
    for (int r : model_.selectedRows()) text += model_.cell(r, 0) + QStringLiteral("\r\n");
    return text;
}

void frm_dscan::mnu_export2ascii_Click() {
    gBusyOn();
    writeTextFileReplacing(exportPath(), exportBanner() + selectedRowsText());
    gBusyOff();
}

void frm_dscan::mnu_export2ascii_new_Click() {
    FileDialogRequest request;
    request.filter = QStringLiteral("Text (*.txt)|*.txt");
    const std::optional<QString> file = dialogs().saveFile(request);
    if (!file || file->isEmpty()) return;  // cancelled: the export path stays
    setExportPath(*file);
    mnu_export2ascii_Click();
}

void frm_dscan::mnu_export2clip_Click() {
    gBusyOn();
    putOnClipboard(selectedRowsText());
    gBusyOff();
}

void frm_dscan::statusPanelClick() {
    FileDialogRequest request;
    request.filter = QStringLiteral("Text (*.txt)|*.txt");
    const std::optional<QString> file = dialogs().saveFile(request);
    if (file && !file->isEmpty()) setExportPath(*file);
}

void frm_dscan::prepareMenu() {
    mnu_export2ascii->setText(QStringLiteral("markierten Text in: '") + exportPath() +
                              QStringLiteral("'"));
}

// ---- window handling ------------------------------------------------------------------------

void frm_dscan::toggleMaximized() {
    if (isMinimized()) return;
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void frm_dscan::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    lst_Files->setColumnWidth(0, std::max(20, width() - twipsToPixels(460)));
}

bool frm_dscan::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (watched == lbl_caption) {
        auto* mouse = dynamic_cast<QMouseEvent*>(event);  // used only for mouse events
        if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
            drag_.handle(lbl_caption, event);
            return true;
        }
        if (type == QEvent::MouseMove || type == QEvent::MouseButtonRelease)
            drag_.handle(lbl_caption, event);
        if (type == QEvent::MouseButtonDblClick) {
            toggleMaximized();
            return true;
        }
    }
    if (type == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == img_systemmaximize) toggleMaximized();
        if (watched == img_systemclose) but_exit->click();
        if (watched == stat_bar_panel1 && stat_bar_panel1->isEnabled()) statusPanelClick();
    }
    if (watched == lst_Files->viewport() && type == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton && model_.rowCount() > 0) {
        prepareMenu();
        mnu->popup(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace bravel
