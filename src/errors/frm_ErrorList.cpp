#include "errors/frm_ErrorList.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>

#include "base/AppValues.h"
#include "base/Prog.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogListModel.h"
#include "errors/COLError.h"
#include "listtools/ToolTipContent.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/Err.h"
#include "platform/Formats.h"
#include "platform/Twips.h"

namespace bravel {
namespace {

constexpr int kWidthTwips = 10000;
constexpr int kHeightTwips = 5000;
constexpr int kMinWidthTwips = 4540;
constexpr int kMinHeightTwips = 3640;

QPointer<frm_ErrorList> openWindow;

struct ColumnSpec {
    const char* heading;
    int widthTwips;
    int picture;  // position in img_List
};
const ColumnSpec kColumns[] = {
    {"Zeitpunkt", 2300, 4}, {"Nr.", 700, 2},       {"Fehlerbeschreibung", 2000, 3},
    {"Modul", 2000, 5},     {"Auslöser", 2500, 5},
};

QString dateText(const QDateTime& date) {
    return formatGeneralDate(date, true);
}

QLabel* makeImage(QWidget* parent, const char* name, const QIcon& icon, const QString& toolTip) {
    auto* image = new QLabel(parent);
    image->setObjectName(QString::fromLatin1(name));
    image->setPixmap(icon.pixmap(16, 16));
    image->setToolTip(toolTip);
    return image;
}

// A label lying over an image of the caption bar: it carries the entry's text as a tooltip and
// takes its clicks.
QLabel* makeOverlay(QLabel* image, const char* name, const QString& text) {
    auto* label = new QLabel(image);
    label->setObjectName(QString::fromLatin1(name));
    label->setToolTip(text);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setGeometry(0, 0, 16, 16);
    return label;
}

}  // namespace

frm_ErrorList* frm_ErrorList::showWindow(QWidget* owner, RowDetailsWindow* details) {
    if (openWindow) {
        openWindow->details_ = details;
        openWindow->raise();
        openWindow->activateWindow();
        return openWindow;
    }
    auto* window = new frm_ErrorList(owner);
    window->details_ = details;
    openWindow = window;
    window->show();
    window->lst_errorlist->setFocus();
    return window;
}

frm_ErrorList* frm_ErrorList::current() {
    return openWindow.data();
}

frm_ErrorList::frm_ErrorList(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint) {
    Err.Clear();
    gBusyOn();
    setObjectName(QStringLiteral("frm_ErrorList"));
    setWindowTitle(QStringLiteral("Fehlerstack"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(twipsToPixels(kWidthTwips), twipsToPixels(kHeightTwips));
    setMinimumSize(twipsToPixels(kMinWidthTwips), twipsToPixels(kMinHeightTwips));
    fillImageList();
    buildControls();
    layOutControls();
    addColumns();
    mFillErrorList();
    Err.Clear();
    gBusyOff();
}

void frm_ErrorList::fillImageList() {
    img_List.clear();
    QStyle* pictures = style();
    img_List.emplace_back(QStringLiteral("table"),
                          pictures->standardIcon(QStyle::SP_FileDialogDetailedView));
    img_List.emplace_back(QStringLiteral("field"),
                          pictures->standardIcon(QStyle::SP_MessageBoxWarning));
    img_List.emplace_back(QStringLiteral("prop"),
                          pictures->standardIcon(QStyle::SP_FileDialogInfoView));
    img_List.emplace_back(QStringLiteral("clock"),
                          pictures->standardIcon(QStyle::SP_BrowserReload));
    img_List.emplace_back(QStringLiteral("status"),
                          pictures->standardIcon(QStyle::SP_FileDialogContentsView));
}

const QIcon& frm_ErrorList::picture(int position) const {
    return img_List[static_cast<size_t>(position - 1)].second;
}

void frm_ErrorList::buildControls() {
    lbl_caption = new QLabel(QString(6, QLatin1Char(' ')) + QStringLiteral("Fehlerstack"), this);
    lbl_caption->setObjectName(QStringLiteral("lbl_caption"));
    QPalette colours = lbl_caption->palette();
    colours.setColor(QPalette::Window, colorFromBgr(gCaptionBackColor));
    colours.setColor(QPalette::WindowText, colorFromBgr(gCaptionForeColor));
    lbl_caption->setPalette(colours);
    lbl_caption->setAutoFillBackground(true);
    lbl_caption->setMinimumHeight(20);
    lbl_caption->installEventFilter(this);

    img_appicon = makeImage(lbl_caption, "img_appicon",
                            style()->standardIcon(QStyle::SP_ComputerIcon), QString());
    img_systemmaximize =
        makeImage(this, "img_systemmaximize", style()->standardIcon(QStyle::SP_TitleBarMaxButton),
                  QStringLiteral("Programm maximieren"));
    img_systemclose =
        makeImage(this, "img_systemclose", style()->standardIcon(QStyle::SP_TitleBarCloseButton),
                  QStringLiteral("Programm verlassen (ESC)"));
    lbl_mnu_SystemResize = makeOverlay(img_systemmaximize, "lbl_mnu_SystemResize",
                                       QStringLiteral("Programm maximieren"));
    lbl_mnu_System =
        makeOverlay(img_systemclose, "lbl_mnu_System", QStringLiteral("Programm verlassen (ESC)"));
    for (QLabel* label :
         {img_systemmaximize, img_systemclose, lbl_mnu_SystemResize, lbl_mnu_System}) {
        label->setAutoFillBackground(false);
        label->installEventFilter(this);
    }
    for (QLabel* image : {img_systemmaximize, img_systemclose}) {
        image->setPalette(colours);
        image->setAutoFillBackground(true);
        image->setFixedSize(20, 20);
        image->setAlignment(Qt::AlignCenter);
    }
    lbl_mnu_SystemResize->setGeometry(0, 0, 20, 20);
    lbl_mnu_System->setGeometry(0, 0, 20, 20);

    lst_errorlist = new QTreeWidget(this);
    lst_errorlist->setObjectName(QStringLiteral("lst_errorlist"));
    lst_errorlist->setRootIsDecorated(false);
    lst_errorlist->setUniformRowHeights(true);
    lst_errorlist->setSelectionMode(QAbstractItemView::SingleSelection);
    lst_errorlist->setSelectionBehavior(QAbstractItemView::SelectRows);
    lst_errorlist->setIconSize(QSize(16, 16));
    lst_errorlist->header()->setStretchLastSection(false);
    lst_errorlist->viewport()->setMouseTracking(true);
    lst_errorlist->installEventFilter(this);
    lst_errorlist->viewport()->installEventFilter(this);
    connect(lst_errorlist, &QTreeWidget::itemClicked, this, [this] { rowClicked(); });
    connect(lst_errorlist, &QTreeWidget::itemDoubleClicked, this, [this] { rowDoubleClicked(); });

    but_DelError = new QPushButton(QStringLiteral("Liste leeren"), this);
    but_DelError->setObjectName(QStringLiteral("but_DelError"));
    connect(but_DelError, &QPushButton::clicked, this, [this] {
        gErrorStack.Clear();
        mFillErrorList();
    });
    but_OK = new QPushButton(QStringLiteral("OK"), this);
    but_OK->setObjectName(QStringLiteral("but_OK"));
    connect(but_OK, &QPushButton::clicked, this, &QWidget::close);
}

void frm_ErrorList::layOutControls() {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(2, 2, 2, 6);
    root->setSpacing(4);
    root->addLayout(captionBar(lbl_caption, {img_systemmaximize, img_systemclose}));
    img_appicon->setGeometry(2, 2, 16, 16);
    root->addWidget(lst_errorlist, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(4, 0, 4, 0);
    buttonRow->addWidget(but_DelError);
    buttonRow->addStretch(1);
    buttonRow->addWidget(but_OK);
    root->addLayout(buttonRow);
}

void frm_ErrorList::addColumns() {
    QStringList headings;
    for (const ColumnSpec& column : kColumns) headings << QString::fromUtf8(column.heading);
    lst_errorlist->setHeaderLabels(headings);
    for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
        lst_errorlist->headerItem()->setIcon(c, picture(kColumns[c].picture));
        // Never narrower than the heading with its picture needs.
        lst_errorlist->setColumnWidth(c, std::max(twipsToPixels(kColumns[c].widthTwips),
                                                  lst_errorlist->header()->sectionSizeHint(c)));
    }
}

void frm_ErrorList::widenTimeColumn() {
    // The time is the one column whose texts all have the same length: it always shows whole.
    const int needed = static_cast<QAbstractItemView*>(lst_errorlist)->sizeHintForColumn(0);
    if (needed > lst_errorlist->columnWidth(0)) lst_errorlist->setColumnWidth(0, needed);
}

void frm_ErrorList::mFillErrorList() {
    Err.Clear();
    hitItem_ = nullptr;
    lastAdded_ = nullptr;
    lst_errorlist->clear();
    for (int position = 1; position <= gErrorStack.Count(); ++position) {
        const std::shared_ptr<ErrorProperties> record = gErrorStack.Item(position);
        Err.Clear();  // a failing read leaves its cells empty
        auto* item = new QTreeWidgetItem(lst_errorlist);
        item->setData(0, Qt::UserRole, QString::number(position) + QLatin1Char('e'));
        item->setIcon(0, picture(2));
        if (!record) continue;
        item->setText(0, dateText(record->ErrDate()));
        item->setText(1, QString::number(record->ErrNumber()));
        item->setText(2, record->ErrDescr());
        item->setText(3, record->ErrModul());
        item->setText(4, record->ErrEvent());
        lastAdded_ = item;
    }
    widenTimeColumn();
}

QString frm_ErrorList::rowKey(const QTreeWidgetItem* item) {
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}

std::shared_ptr<ErrorProperties> frm_ErrorList::recordForKey(const QString& key) {
    const int position = CatalogListModel::indexFromKey(key);
    std::shared_ptr<ErrorProperties> record = gErrorStack.Item(position);
    Err.Clear();  // nothing is recorded here; a missing record simply shows nothing
    return record;
}

QString frm_ErrorList::recordMessageText(const ErrorProperties& record) {
    return gCrLf + QStringLiteral("Zeitpunkt: ") + dateText(record.ErrDate()) + gCrLf +
           QStringLiteral("Fehlernummer: ") + QString::number(record.ErrNumber()) + gCrLf +
           QStringLiteral("Fehlerbeschreibung: ") + record.ErrDescr() + gCrLf +
           QStringLiteral("Modul: ") + record.ErrModul() + gCrLf + QStringLiteral("Auslöser: ") +
           record.ErrEvent() + gCrLf + gCrLf;
}

// ---- list events ---------------------------------------------------------------------------

void frm_ErrorList::rememberMouse(const QPoint& viewportPos) {
    hitItem_ = lst_errorlist->itemAt(viewportPos);
    const QPoint inList = lst_errorlist->viewport()->mapTo(lst_errorlist, viewportPos);
    mouseTwips_ = QPoint(static_cast<int>(pixelsToTwips(inList.x())),
                         static_cast<int>(pixelsToTwips(inList.y())));
}

void frm_ErrorList::rowClicked() {
    closeDetailsLettingEventsRun();
    if (!hitItem_ || !details_) return;
    const std::shared_ptr<ErrorProperties> record = recordForKey(rowKey(hitItem_));
    if (!record) return;
    details_->open(errorToolTipText(*record),
                   toolTipPositionText(pixelsToTwips(x()) + mouseTwips_.x() + 320,
                                       pixelsToTwips(y()) + mouseTwips_.y() + 630),
                   this);
}

void frm_ErrorList::closeDetails() {
    if (details_) details_->close();
}

void frm_ErrorList::closeDetailsLettingEventsRun() {
    if (!details_ || !details_->isOpen()) return;
    QCoreApplication::processEvents();
    details_->close();
    QCoreApplication::processEvents();
}

void frm_ErrorList::rowDoubleClicked() {
    const QList<QTreeWidgetItem*> selected = lst_errorlist->selectedItems();
    if (selected.isEmpty()) return;
    const std::shared_ptr<ErrorProperties> record = recordForKey(rowKey(selected.first()));
    if (!record) return;
    showMessage(recordMessageText(*record),
                QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(),
                MsgIcon::Information);
}

// ---- window handling -----------------------------------------------------------------------

void frm_ErrorList::toggleMaximized() {
    if (isMinimized()) return;
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

bool frm_ErrorList::captionEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            closeDetails();
            drag_.handle(lbl_caption, event);
            return true;
        }
        case QEvent::MouseMove:
            return drag_.handle(lbl_caption, event);
        case QEvent::MouseButtonRelease:
            drag_.handle(lbl_caption, event);
            return true;
        case QEvent::MouseButtonDblClick:
            toggleMaximized();
            return true;
        default:
            return false;
    }
}

bool frm_ErrorList::eventFilter(QObject* watched, QEvent* event) {
    if (!lst_errorlist || !but_OK)
        return QWidget::eventFilter(watched, event);  // still being built
    const QEvent::Type type = event->type();
    if (watched == lbl_caption && captionEvent(event)) return true;
    if (watched == lst_errorlist->viewport() &&
        (type == QEvent::MouseMove || type == QEvent::MouseButtonPress))
        rememberMouse(static_cast<QMouseEvent*>(event)->position().toPoint());
    if (watched == lst_errorlist && type == QEvent::FocusIn) gListHasFocus = true;
    const bool leftRelease = type == QEvent::MouseButtonRelease &&
                             static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (leftRelease && (watched == img_systemmaximize || watched == lbl_mnu_SystemResize)) {
        toggleMaximized();
        return true;
    }
    if (leftRelease && (watched == img_systemclose || watched == lbl_mnu_System)) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frm_ErrorList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frm_ErrorList::closeEvent(QCloseEvent* event) {
    closeDetails();
    if (openWindow == this) openWindow = nullptr;
    event->accept();
}

}  // namespace bravel
