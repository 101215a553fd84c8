#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

#include "errors/frm_ErrorList.h"
#include "listtools/ToolTipContent.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTimer;

namespace bravel {

class CatalogListModel;

// What the tooltip needs of the main window: the file list that gets the focus back, its rows
// for the export menu and their backup warnings, and its timers, which stay off while a tooltip is
// dragged or shows one of its rows. The main window hands itself in when it is created.
class ToolTipMainList {
  public:
    virtual ~ToolTipMainList() = default;
    virtual QWidget* fileList() = 0;
    virtual const CatalogListModel& fileListModel() = 0;
    // The warning about a row's old or missing backup, or "".
    virtual QString oldBackupNotice(int row) = 0;
    virtual void stopTimers(int which) = 0;  // which: the flags of timers::
    virtual void startTimers(int which) = 0;
};

// What a caller hands to the tooltip window.
struct ToolTipRequest {
    QString text;                    // kept in zlbl's tag
    QString sourceName;              // "FRM_MAIN", "FRM_ERRLIST": which list gets the focus back
    QString positionText;            // "x;y" in twips
    QWidget* owner = nullptr;        // the window the tooltip floats above
    std::function<void()> onClosed;  // what the caller does once the window has closed
};

// The small frameless, semi-transparent window with a row's details. Only one exists at a time;
// it closes itself after gToolTipDelay ticks unless the user holds it.
class frm_ToolTip : public QWidget {
    Q_OBJECT
  public:
    // Closes an open tooltip, loads a new one and shows it. The caller goes on at once; its
    // after-close step runs from onClosed.
    static frm_ToolTip* open(const ToolTipRequest& request);
    static frm_ToolTip* current();
    // A click on a main-list row (row index, mouse position in lst_Files): the row's details,
    // with the main window's timers off until the tooltip has closed.
    static void openFromMainList(ToolTipMainList& mainList, int row, const QPoint& mouseInList);
    // Closes the open tooltip, if any.
    static void unload();
    // The main window, or none; it takes itself away again when it goes.
    static void setMainList(ToolTipMainList* mainList);
    static void forgetMainList(const ToolTipMainList* mainList);
    // The tooltip as the error list's row details.
    static RowDetailsWindow& errorListDetails();

    QString positionText() const { return positionText_; }
    QString tagText() const { return tag_; }
    ToolTipCountdown& countdown() { return countdown_; }

    QLabel* lbl_SourceForm = nullptr;
    QLabel* zlbl = nullptr;
    QPlainTextEdit* txt_Info = nullptr;
    QLabel* img_menu = nullptr;
    QLabel* img_systemclose = nullptr;
    std::array<QFrame*, 2> lne_line{};
    QTimer* Timer1 = nullptr;
    QMenu* mnu_content = nullptr;
    QAction* mnu_contentcopy = nullptr;
    QMenu* mnu_contentsave = nullptr;
    QAction* mnu_contentsavetxt = nullptr;
    QAction* mnu_contentsavehtml = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit frm_ToolTip(const ToolTipRequest& request);
    void buildControls();
    void buildMenu();
    void applyTransparency();
    void firstActivation();
    void buildContent();
    void placeWindow(const QSize& size);
    void focusSourceList();
    void timer1Tick();
    void copyEntry();
    void sourceLabelPressed(QMouseEvent* event);
    void sourceLabelReleased();

    QString tag_;
    QString positionText_;
    std::function<void()> onClosed_;
    bool firstActivation_ = true;
    ToolTipCountdown countdown_;
    bool sourcePressed_ = false;
    bool dragging_ = false;
    QPoint dragOffset_;
    bool closed_ = false;
};

}  // namespace bravel
