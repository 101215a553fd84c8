#include "listtools/frm_ToolTip.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QTreeView>

#include "backup/RunObserver.h"
#include "base/AppValues.h"
#include "catalog/COLArchivFiles.h"
#include "catalog/CatalogController.h"
#include "catalog/CatalogListModel.h"
#include "catalog/FileProperties.h"
#include "listtools/ListExport.h"
#include "platform/Colors.h"
#include "platform/Err.h"
#include "platform/Twips.h"

namespace bravel {
namespace {

constexpr int kSourceBarTwips = 190;
constexpr int kExtraWidthTwips = 340;
constexpr int kExtraHeightTwips = 30;
constexpr quint32 kLightGrey = 0xE0E0E0;  // red, green and blue 224
constexpr quint32 kLineGrey = 0x808080;   // red, green and blue 128

QPointer<frm_ToolTip> openToolTip;
ToolTipMainList* registeredMainList = nullptr;

void paint(QWidget* widget, QColor back, QColor fore = Qt::black) {
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, back);
    colours.setColor(QPalette::Base, back);
    colours.setColor(QPalette::WindowText, fore);
    colours.setColor(QPalette::Text, fore);
    widget->setPalette(colours);
    widget->setAutoFillBackground(true);
}

// The main window's refresh timer stays off while the tooltip is dragged, so that a refill
// does not run under the moving window.
void setMainRefreshTimer(bool on) {
    if (!registeredMainList) return;
    if (on)
        registeredMainList->startTimers(timers::kRefresh);
    else
        registeredMainList->stopTimers(timers::kRefresh);
}

class ErrorListDetails : public RowDetailsWindow {
  public:
    bool isOpen() const override { return frm_ToolTip::current(); }
    void open(const QString& text, const QString& positionText, QWidget* owner) override {
        ToolTipRequest request;
        request.text = text;
        request.sourceName = QStringLiteral("FRM_ERRLIST");
        request.positionText = positionText;
        request.owner = owner;
        frm_ToolTip::open(request);
    }
    void close() override { frm_ToolTip::unload(); }
};

QLabel* makeImage(QWidget* parent, const char* name, QStyle::StandardPixmap picture, int size) {
    auto* image = new QLabel(parent);
    image->setObjectName(QString::fromLatin1(name));
    image->setPixmap(parent->style()->standardIcon(picture).pixmap(size, size));
    image->setAlignment(Qt::AlignCenter);
    return image;
}

}  // namespace

frm_ToolTip* frm_ToolTip::open(const ToolTipRequest& request) {
    unload();
    if (!toolTipCanBeSeen(gToolTipAlpha)) {
        // A fully transparent window would only swallow the clicks meant for what lies below.
        if (request.onClosed) request.onClosed();
        return nullptr;
    }
    auto* window = new frm_ToolTip(request);
    openToolTip = window;
    window->show();
    return window;
}

frm_ToolTip* frm_ToolTip::current() {
    return openToolTip.data();
}

void frm_ToolTip::unload() {
    if (openToolTip) openToolTip->close();
}

void frm_ToolTip::setMainList(ToolTipMainList* mainList) {
    registeredMainList = mainList;
}

void frm_ToolTip::forgetMainList(const ToolTipMainList* mainList) {
    if (registeredMainList == mainList) registeredMainList = nullptr;
}

RowDetailsWindow& frm_ToolTip::errorListDetails() {
    static ErrorListDetails details;
    return details;
}

void frm_ToolTip::openFromMainList(ToolTipMainList& mainList, int row, const QPoint& mouseInList) {
    unload();
    if (!gShowToolTips) return;
    if (row < 0 || row >= mainList.fileListModel().rowCount()) return;
    QWidget* window = mainList.fileList()->window();
    mainList.stopTimers(timers::kBoth);
    const int index = CatalogListModel::indexFromKey(mainList.fileListModel().row(row).key);
    Err.Clear();
    const std::shared_ptr<FileProperties> entry = gCatalogFiles.Item(index);
    Err.Clear();  // a missing entry leaves the lines empty
    ToolTipRequest request;
    const QString backupNotice = mainList.oldBackupNotice(row);
    request.text = entry ? mainListToolTipText(*entry, backupNotice)
                         : mainListToolTipText(FileProperties(), backupNotice);
    request.sourceName = QStringLiteral("FRM_MAIN");
    request.positionText = toolTipPositionText(pixelsToTwips(window->x() + mouseInList.x()) + 260,
                                               pixelsToTwips(window->y() + mouseInList.y()) + 1030);
    request.owner = window;
    QPointer<QWidget> alive(window);
    ToolTipMainList* list = &mainList;
    request.onClosed = [alive, list] {
        if (alive) list->startTimers(timers::kBoth);
    };
    open(request);
}

// ---- loading -------------------------------------------------------------------------------

frm_ToolTip::frm_ToolTip(const ToolTipRequest& request)
    : QWidget(request.owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      tag_(request.text),
      positionText_(request.positionText),
      onClosed_(request.onClosed),
      countdown_(gToolTipDelay) {
    Err.Clear();
    setObjectName(QStringLiteral("frm_ToolTip"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The source list keeps the focus; the tooltip only takes it when the user clicks into it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    buildControls();
    buildMenu();
    lbl_SourceForm->setText(request.sourceName);
    applyTransparency();
    firstActivation_ = true;
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &frm_ToolTip::timer1Tick);
}

void frm_ToolTip::applyTransparency() {
    if (const std::optional<double> opacity = toolTipOpacity(gToolTipAlpha))
        setWindowOpacity(*opacity);
}

void frm_ToolTip::buildControls() {
    paint(this, Qt::white);
    const int bar = twipsToPixels(kSourceBarTwips);

    zlbl = new QLabel(this);
    zlbl->setObjectName(QStringLiteral("zlbl"));
    zlbl->setTextFormat(Qt::PlainText);
    paint(zlbl, colorFromBgr(kLightGrey));
    zlbl->hide();  // it only measures the text

    txt_Info = new QPlainTextEdit(this);
    txt_Info->setObjectName(QStringLiteral("txt_Info"));
    txt_Info->setFrameShape(QFrame::NoFrame);
    txt_Info->setReadOnly(true);
    txt_Info->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txt_Info->setLineWrapMode(QPlainTextEdit::NoWrap);
    txt_Info->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txt_Info->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txt_Info->document()->setDocumentMargin(0);
    txt_Info->setPlainText(QString());
    paint(txt_Info, Qt::white, Qt::black);
    txt_Info->installEventFilter(this);
    txt_Info->viewport()->installEventFilter(this);
    zlbl->setFont(txt_Info->font());

    lbl_SourceForm = new QLabel(this);
    lbl_SourceForm->setObjectName(QStringLiteral("lbl_SourceForm"));
    lbl_SourceForm->setFixedHeight(bar);
    QFont small = lbl_SourceForm->font();
    small.setPixelSize(std::max(8, bar - 3));
    lbl_SourceForm->setFont(small);
    paint(lbl_SourceForm, colorFromBgr(kLightGrey));
    lbl_SourceForm->setCursor(Qt::SizeAllCursor);
    lbl_SourceForm->installEventFilter(this);

    img_menu = makeImage(this, "img_menu", QStyle::SP_ArrowDown, bar - 2);
    img_menu->setToolTip(QStringLiteral("Menü"));
    img_menu->installEventFilter(this);
    img_systemclose = makeImage(this, "img_systemclose", QStyle::SP_TitleBarCloseButton, bar - 2);
    img_systemclose->setToolTip(QStringLiteral("schliessen"));
    img_systemclose->installEventFilter(this);

    for (QFrame*& line : lne_line) {
        line = new QFrame(this);
        line->setObjectName(QStringLiteral("lne_line"));
        paint(line, colorFromBgr(kLineGrey));
    }
}

void frm_ToolTip::buildMenu() {
    mnu_content = new QMenu(this);
    mnu_content->setObjectName(QStringLiteral("mnu_content"));
    mnu_content->setTitle(QStringLiteral("Content"));
    mnu_contentcopy = mnu_content->addAction(QStringLiteral("Eintrag kopieren"));
    mnu_contentcopy->setObjectName(QStringLiteral("mnu_contentcopy"));
    connect(mnu_contentcopy, &QAction::triggered, this, &frm_ToolTip::copyEntry);
    mnu_contentsave = mnu_content->addMenu(QStringLiteral("markierte exportieren nach..."));
    mnu_contentsave->setObjectName(QStringLiteral("mnu_contentsave"));
    mnu_contentsave->menuAction()->setObjectName(QStringLiteral("mnu_contentsave"));
    mnu_contentsavetxt = mnu_contentsave->addAction(QStringLiteral("text-datei"));
    mnu_contentsavetxt->setObjectName(QStringLiteral("mnu_contentsavetxt"));
    connect(mnu_contentsavetxt, &QAction::triggered, this, [] {
        if (registeredMainList) exportListToChosenFile(registeredMainList->fileListModel());
    });
    mnu_contentsavehtml = mnu_contentsave->addAction(QStringLiteral("html-datei"));
    mnu_contentsavehtml->setObjectName(QStringLiteral("mnu_contentsavehtml"));  // no action
}

// ---- first activation ----------------------------------------------------------------------

void frm_ToolTip::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (firstActivation_) firstActivation();
}

void frm_ToolTip::firstActivation() {
    firstActivation_ = false;
    buildContent();
    focusSourceList();
    lbl_SourceForm->clear();
    countdown_.setHold(false);
    Timer1->start();
}

void frm_ToolTip::buildContent() {
    Err.Clear();
    // A label without a buddy draws "&" as it is, so the text goes in unchanged and shows each
    // ampersand once.
    zlbl->setText(tag_);
    txt_Info->setPlainText(QString(tag_).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    zlbl->adjustSize();
    const QSize size(
        zlbl->width() + twipsToPixels(kExtraWidthTwips),
        zlbl->height() + twipsToPixels(kSourceBarTwips) + twipsToPixels(kExtraHeightTwips));
    placeWindow(size);
}

void frm_ToolTip::placeWindow(const QSize& size) {
    const std::optional<QPoint> twips = parseToolTipPosition(positionText_);
    if (!twips) {
        resize(size);  // where it was loaded
        return;
    }
    const QPoint wanted(twipsToPixels(twips->x()), twipsToPixels(twips->y()));
    QScreen* screen = QGuiApplication::screenAt(wanted);
    if (!screen) screen = QGuiApplication::primaryScreen();
    int left = wanted.x();
    if (screen) {
        const QRect area = screen->geometry();
        left = toolTipLeft(wanted.x(), size.width(), area.x() + area.width());
    }
    setGeometry(left, wanted.y(), size.width(), size.height());
}

void frm_ToolTip::focusSourceList() {
    const QString source = lbl_SourceForm->text();
    QWidget* list = nullptr;
    if (source == QLatin1String("FRM_MAIN")) {
        if (registeredMainList) list = registeredMainList->fileList();
    } else if (source == QLatin1String("FRM_ERRLIST")) {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QLatin1String("frm_ErrorList") && widget->isVisible())
                list = widget->findChild<QWidget*>(QStringLiteral("lst_errorlist"));
    }
    if (list && list->isEnabled()) list->setFocus();
}

void frm_ToolTip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int bar = twipsToPixels(kSourceBarTwips);
    const int w = width();
    const int h = height();
    lbl_SourceForm->setGeometry(0, 0, w, bar);
    img_systemclose->setGeometry(w - bar - 1, 0, bar, bar);
    img_menu->setGeometry(w - 2 * bar - 2, 0, bar, bar);
    img_systemclose->raise();
    img_menu->raise();
    txt_Info->setGeometry(twipsToPixels(kExtraWidthTwips) / 2, bar + 1,
                          std::max(0, w - twipsToPixels(kExtraWidthTwips)),
                          std::max(0, h - bar - 2));
    lne_line[0]->setGeometry(w - 1, 0, 1, h);  // right edge
    lne_line[1]->setGeometry(0, h - 1, w, 1);  // bottom edge
}

// ---- countdown, holding, menu ------------------------------------------------------------

void frm_ToolTip::timer1Tick() {
    if (countdown_.tick()) close();
}

void frm_ToolTip::copyEntry() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    // The text box keeps its lines apart with LF; copied text has the program's line breaks.
    clipboard->setText(txt_Info->toPlainText().split(QLatin1Char('\n')).join(gCrLf));
    countdown_.setHold(false);
}

void frm_ToolTip::sourceLabelPressed(QMouseEvent* event) {
    sourcePressed_ = true;
    setMainRefreshTimer(false);
    countdown_.setHold(true);
    if (event->button() != Qt::LeftButton) return;
    // Moved by hand: a system move would swallow the release that ends the hold.
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - pos();
}

void frm_ToolTip::sourceLabelReleased() {
    if (!sourcePressed_) return;
    sourcePressed_ = false;
    dragging_ = false;
    countdown_.setHold(false);
    setMainRefreshTimer(true);
}

bool frm_ToolTip::eventFilter(QObject* watched, QEvent* event) {
    if (!img_systemclose) return QWidget::eventFilter(watched, event);  // still being built
    const QEvent::Type type = event->type();
    if (watched == lbl_SourceForm) {
        if (type == QEvent::MouseButtonPress) {
            sourceLabelPressed(static_cast<QMouseEvent*>(event));
            return true;
        }
        if (type == QEvent::MouseMove && dragging_) {
            move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - dragOffset_);
            return true;
        }
        if (type == QEvent::MouseButtonRelease) {
            sourceLabelReleased();
            return true;
        }
    }
    if (watched == txt_Info->viewport() && type == QEvent::MouseButtonPress)
        countdown_.setHold(true);
    if (watched == txt_Info && type == QEvent::FocusIn) gListHasFocus = true;
    // The tooltip's own menu takes the focus while it is open; the text keeps it for the tooltip.
    if (watched == txt_Info && type == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        gListHasFocus = false;
    if (watched == img_menu && type == QEvent::Enter) {
        countdown_.setHold(true);
        mnu_content->popup(QCursor::pos());
        return true;
    }
    if (watched == img_systemclose && type == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- closing -------------------------------------------------------------------------------

void frm_ToolTip::closeEvent(QCloseEvent* event) {
    Timer1->stop();
    sourceLabelReleased();
    if (openToolTip == this) openToolTip = nullptr;
    event->accept();
    if (closed_) return;
    closed_ = true;
    // The caller's after-close step runs once the window is gone from the screen.
    if (onClosed_) {
        std::function<void()> after = std::move(onClosed_);
        after();
    }
}

}  // namespace bravel
