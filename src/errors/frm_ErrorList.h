#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <utility>
#include <vector>

#include "platform/UiWindowDrag.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace bravel {

class ErrorProperties;

// The small floating window that shows a row's details beside the list. The program hands in
// the tooltip window; the list knows no more of it than this.
class RowDetailsWindow {
  public:
    virtual ~RowDetailsWindow() = default;
    virtual bool isOpen() const = 0;
    // Shows text at positionText ("x;y" in twips) above owner; the list gets the focus back.
    virtual void open(const QString& text, const QString& positionText, QWidget* owner) = 0;
    virtual void close() = 0;
};

// The window that lists the error stack, oldest record first. It shows the stack as it was
// when the window was opened; only "Liste leeren" refills it.
class frm_ErrorList : public QWidget {
    Q_OBJECT
  public:
    // Opens the window without blocking the owner; an open window is only brought forward. A
    // click on a row shows its details in details (none without).
    static frm_ErrorList* showWindow(QWidget* owner, RowDetailsWindow* details = nullptr);
    static frm_ErrorList* current();

    void mFillErrorList();
    // The message box text for a record, and the record behind a row key ("3e").
    static QString recordMessageText(const ErrorProperties& record);
    static std::shared_ptr<ErrorProperties> recordForKey(const QString& key);
    static QString rowKey(const QTreeWidgetItem* item);

    QLabel* lbl_caption = nullptr;
    QLabel* img_appicon = nullptr;
    QLabel* img_systemmaximize = nullptr;
    QLabel* img_systemclose = nullptr;
    QLabel* lbl_mnu_SystemResize = nullptr;
    QLabel* lbl_mnu_System = nullptr;
    QTreeWidget* lst_errorlist = nullptr;
    QPushButton* but_DelError = nullptr;
    QPushButton* but_OK = nullptr;
    // The five pictures with their keys, in order: "table", "field", "prop", "clock", "status".
    std::vector<std::pair<QString, QIcon>> img_List;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit frm_ErrorList(QWidget* owner);
    void buildControls();
    void layOutControls();
    void fillImageList();
    void addColumns();
    void widenTimeColumn();
    const QIcon& picture(int position) const;  // 1-based, as the list's image indexes
    void rememberMouse(const QPoint& viewportPos);
    void rowClicked();
    void rowDoubleClicked();
    void toggleMaximized();
    bool captionEvent(QEvent* event);
    void closeDetails();
    void closeDetailsLettingEventsRun();

    RowDetailsWindow* details_ = nullptr;
    QTreeWidgetItem* hitItem_ = nullptr;
    QPoint mouseTwips_;
    QTreeWidgetItem* lastAdded_ = nullptr;
    UiWindowDrag drag_{this};
};

}  // namespace bravel
